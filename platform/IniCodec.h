#pragma once
// The character encoding of a piece of a settings file. Our users bring the file from Windows, where it
// is written in the code page Windows-1251, or saved by an editor as "Unicode" (UTF-16 with a byte-order
// mark); the program itself writes UTF-8. Eight-bit text is taken as UTF-8 when its bytes are valid UTF-8
// (so also when they are empty or plain ASCII) and as Windows-1251 otherwise.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace vx {

class IniCodec {
public:
    enum class Encoding { Utf8, Windows1251, Utf16LE, Utf16BE };

    IniCodec() = default;
    explicit IniCodec(Encoding encoding) : m_encoding(encoding) {}
    // The encoding these eight-bit bytes are in. A sequence cut off at their end is no valid UTF-8: the
    // bytes are judged as they stand, with nothing left over for bytes that might follow.
    static IniCodec of(QByteArrayView bytes);
    static bool asciiOnly(QByteArrayView bytes);

    Encoding encoding() const { return m_encoding; }
    // Bytes of one code unit: 2 for UTF-16, 1 otherwise.
    int unitBytes() const;
    QString decode(QByteArrayView bytes) const;
    // Nothing when the encoding cannot hold a character of the text: such a text is refused, never
    // written with a stand-in that would read back as another text.
    std::optional<QByteArray> encode(const QString& text) const;

private:
    Encoding m_encoding = Encoding::Utf8;
};

} // namespace vx
