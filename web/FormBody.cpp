#include "web/FormBody.h"

namespace vx {

namespace {

bool keptAsIs(char32_t c)
{
    if (c < 33 || c > 128)
        return false;
    switch (c) {
    case U'*': case U'#': case U'%': case U'<': case U'>': case U'[': case U']':
        return false;
    default:
        return true;
    }
}

} // namespace

QByteArray encodeFormValue(const QString& value)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char32_t c : value.toUcs4()) {
        const QByteArray bytes = QString::fromUcs4(&c, 1).toUtf8();
        if (keptAsIs(c)) {
            out += bytes;
            continue;
        }
        for (const char b : bytes) {
            const auto u = static_cast<unsigned char>(b);
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0x0F];
        }
    }
    return out;
}

QByteArray formBody(const QStringList& lines)
{
    QByteArray body;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            body += '&';
        const QString& line = lines[i];
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            body += line.toUtf8();
            continue;
        }
        body += line.left(eq + 1).toUtf8();
        body += encodeFormValue(line.mid(eq + 1));
    }
    return body;
}

} // namespace vx
