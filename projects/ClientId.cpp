#include "projects/ClientId.h"

namespace vx {

QString makeClientId(const QDateTime& now)
{
    const QDate d = now.date();
    const QTime t = now.time();
    const char16_t codes[] = {
        char16_t(d.year() - 1950), char16_t(d.month() + 96),  char16_t(d.day() + 59),
        u'_',                      char16_t(t.hour() + 97),   char16_t(t.minute() + 60),
        char16_t(t.second() + 60), char16_t(t.msec() % 60 + 60),
    };
    return QString(reinterpret_cast<const QChar*>(codes), 8);
}

} // namespace vx
