#include "platform/IniCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vx {

namespace {

constexpr const char* kWindows1251 = "windows-1251";

bool asciiOnly(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

IniCodec IniCodec::of(QByteArrayView bytes)
{
    if (asciiOnly(bytes))
        return IniCodec(Encoding::Utf8);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes); // decode() is lazy: the conversion runs here
    return IniCodec(utf8.hasError() ? Encoding::Windows1251 : Encoding::Utf8);
}

QString IniCodec::decode(QByteArrayView bytes) const
{
    if (m_encoding == Encoding::Utf8 || asciiOnly(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(kWindows1251, QStringDecoder::Flag::Stateless);
    return QString(decoder.decode(bytes));
}

std::optional<QByteArray> IniCodec::encode(const QString& text) const
{
    if (m_encoding == Encoding::Utf8)
        return text.toUtf8();
    QStringEncoder encoder(kWindows1251, QStringEncoder::Flag::Stateless);
    const QByteArray out = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return out;
}

} // namespace vx
