#pragma once
// Files as a Windows editor saves them as "Unicode": a byte-order mark, then the text in UTF-16 of that
// byte order.

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

namespace vx::test {

struct Utf16Form {
    const char* name;
    QStringConverter::Encoding encoding;
    QByteArray mark;
};

inline const Utf16Form kUtf16Forms[] = {
    {"little-endian", QStringConverter::Utf16LE, QByteArray("\xFF\xFE")},
    {"big-endian", QStringConverter::Utf16BE, QByteArray("\xFE\xFF")},
};

inline QByteArray utf16File(const Utf16Form& form, const QString& text)
{
    QStringEncoder encoder(form.encoding);
    return form.mark + QByteArray(encoder.encode(text));
}

} // namespace vx::test
