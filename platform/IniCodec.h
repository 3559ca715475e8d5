#pragma once
// The character encoding of a settings file. Our users bring the file from Windows, where it is written
// in the code page Windows-1251; the program itself writes UTF-8. A file is taken as UTF-8 when its bytes
// are valid UTF-8 (so also an empty or missing file) and as Windows-1251 otherwise, and it keeps that
// encoding when it is written back, so it still opens where it came from.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace vx {

class IniCodec {
public:
    enum class Encoding { Utf8, Windows1251 };

    IniCodec() = default;
    explicit IniCodec(Encoding encoding) : m_encoding(encoding) {}
    // The encoding these bytes of a file are in.
    static IniCodec of(QByteArrayView bytes);

    Encoding encoding() const { return m_encoding; }
    QString decode(QByteArrayView bytes) const;
    // Nothing when the encoding cannot hold a character of the text: such a text is refused, never
    // written with a stand-in that would read back as another text.
    std::optional<QByteArray> encode(const QString& text) const;

private:
    Encoding m_encoding = Encoding::Utf8;
};

} // namespace vx
