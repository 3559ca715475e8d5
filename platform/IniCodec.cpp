#include "platform/IniCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vx {

namespace {

constexpr const char* kWindows1251 = "windows-1251";

// Every piece is converted on its own, as it stands: no state carried over, and a U+FEFF at its start is
// a character of the text (the byte-order mark of a file is taken off before its lines are read).
constexpr auto kOnItsOwn = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

QStringConverter::Encoding qtEncoding(IniCodec::Encoding e)
{
    switch (e) {
    case IniCodec::Encoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case IniCodec::Encoding::Utf16BE:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

} // namespace

bool IniCodec::asciiOnly(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

IniCodec IniCodec::of(QByteArrayView bytes)
{
    if (asciiOnly(bytes))
        return IniCodec(Encoding::Utf8);
    QStringDecoder utf8(QStringDecoder::Utf8, kOnItsOwn);
    const QString text = utf8.decode(bytes); // decode() is lazy: the conversion runs here
    return IniCodec(utf8.hasError() ? Encoding::Windows1251 : Encoding::Utf8);
}

int IniCodec::unitBytes() const
{
    return m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE ? 2 : 1;
}

QString IniCodec::decode(QByteArrayView bytes) const
{
    if (unitBytes() == 1 && asciiOnly(bytes))
        return QString::fromLatin1(bytes);
    if (m_encoding == Encoding::Windows1251) {
        QStringDecoder decoder(kWindows1251, kOnItsOwn);
        return QString(decoder.decode(bytes));
    }
    QStringDecoder decoder(qtEncoding(m_encoding), kOnItsOwn);
    return QString(decoder.decode(bytes));
}

std::optional<QByteArray> IniCodec::encode(const QString& text) const
{
    QStringEncoder encoder = m_encoding == Encoding::Windows1251
                                 ? QStringEncoder(kWindows1251, QStringEncoder::Flag::Stateless)
                                 : QStringEncoder(qtEncoding(m_encoding), QStringEncoder::Flag::Stateless);
    const QByteArray out = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return out;
}

} // namespace vx
