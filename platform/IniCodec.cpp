#include "platform/IniCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vx {

namespace {

// Every piece is converted on its own, as it stands: no state carried over, and a U+FEFF at its start is
// a character of the text (the byte-order mark of a file is taken off before its lines are read).
constexpr auto kOnItsOwn = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

// The name Qt's converters know the encoding by.
const char* converterName(IniCodec::Encoding e)
{
    switch (e) {
    case IniCodec::Encoding::Windows1251:
        return "windows-1251";
    case IniCodec::Encoding::Utf16LE:
        return "UTF-16LE";
    case IniCodec::Encoding::Utf16BE:
        return "UTF-16BE";
    case IniCodec::Encoding::Utf8:
        break;
    }
    return "UTF-8";
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
    QStringDecoder decoder(converterName(m_encoding), kOnItsOwn);
    return decoder.decode(bytes);
}

std::optional<QByteArray> IniCodec::encode(const QString& text) const
{
    QStringEncoder encoder(converterName(m_encoding), QStringEncoder::Flag::Stateless);
    const QByteArray out = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return out;
}

} // namespace vx
