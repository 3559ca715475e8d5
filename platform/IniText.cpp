#include "platform/IniText.h"

namespace vx {

namespace {

struct Mark {
    QByteArrayView bytes;
    IniCodec::Encoding encoding;
};

constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";

constexpr Mark kMarks[] = {
    {kUtf8Mark, IniCodec::Encoding::Utf8},
    {"\xFF\xFE", IniCodec::Encoding::Utf16LE},
    {"\xFE\xFF", IniCodec::Encoding::Utf16BE},
};

// An eight-bit line without the UTF-8 marks at its start: they are no characters of it, and what follows
// them decides the line's encoding (a Windows-1251 line pasted after a mark stays Windows-1251).
QByteArrayView withoutMarks(QByteArrayView raw)
{
    while (raw.startsWith(kUtf8Mark))
        raw = raw.sliced(kUtf8Mark.size());
    return raw;
}

} // namespace

QString IniText::textOf(QByteArrayView raw) const
{
    QString text;
    if (m_unit.unitBytes() == 1) {
        const QByteArrayView rest = withoutMarks(raw);
        text = IniCodec::of(rest).decode(rest);
    } else {
        text = m_unit.decode(raw);
    }
    qsizetype marks = 0;
    while (marks < text.size() && text[marks] == QChar(0xFEFF))
        ++marks;
    return marks == 0 ? text : text.sliced(marks);
}

void IniText::tally(const IniTextLine& line, int delta)
{
    if (m_unit.unitBytes() == 2) {
        m_newLines = m_unit;
        return;
    }
    const QByteArrayView rest = withoutMarks(line.raw);
    if (!IniCodec::asciiOnly(rest))
        (IniCodec::of(rest).encoding() == IniCodec::Encoding::Utf8 ? m_utf8Lines : m_cp1251Lines) += delta;
    m_newLines = IniCodec(m_cp1251Lines > m_utf8Lines ? IniCodec::Encoding::Windows1251 : IniCodec::Encoding::Utf8);
}

std::vector<IniTextLine> IniText::read(const QByteArray& data)
{
    QByteArrayView rest(data);
    m_bom.clear();
    m_unit = IniCodec();
    for (const Mark& mark : kMarks) {
        if (rest.startsWith(mark.bytes)) {
            m_bom = mark.bytes.toByteArray();
            m_unit = IniCodec(mark.encoding);
            rest = rest.sliced(mark.bytes.size());
            break;
        }
    }
    const int width = m_unit.unitBytes();
    const bool bigEndian = m_unit.encoding() == IniCodec::Encoding::Utf16BE;
    const auto unitAt = [&](qsizetype i) -> char16_t {
        const auto byte = [&](qsizetype k) { return char16_t(static_cast<unsigned char>(rest[k])); };
        if (width == 1)
            return byte(i);
        return bigEndian ? char16_t(byte(i) << 8 | byte(i + 1)) : char16_t(byte(i) | byte(i + 1) << 8);
    };

    std::vector<IniTextLine> lines;
    const auto add = [&](QByteArrayView raw, QByteArrayView eol) {
        lines.push_back(IniTextLine{raw.toByteArray(), eol.toByteArray(), textOf(raw)});
    };

    // An odd byte at the end of UTF-16 text is no code unit: it stays with the last line.
    const qsizetype end = rest.size() - rest.size() % width;
    qsizetype start = 0;
    for (qsizetype i = 0; i < end;) {
        const char16_t u = unitAt(i);
        if (u != u'\r' && u != u'\n') {
            i += width;
            continue;
        }
        const qsizetype eolSize = u == u'\r' && i + width < end && unitAt(i + width) == u'\n' ? 2 * width : width;
        add(rest.sliced(start, i - start), rest.sliced(i, eolSize));
        i += eolSize;
        start = i;
    }
    if (start < rest.size())
        add(rest.sliced(start), {});

    m_utf8Lines = m_cp1251Lines = 0;
    m_newLines = m_unit;
    for (const IniTextLine& l : lines)
        tally(l, +1);
    m_eol = lines.empty() ? QByteArray() : lines.front().eol;
    if (m_eol.isEmpty())
        m_eol = *m_newLines.encode(QStringLiteral("\n"));
    return lines;
}

std::optional<IniTextLine> IniText::line(const QString& text) const
{
    auto raw = m_newLines.encode(text);
    if (!raw)
        return std::nullopt;
    // Windows-1251 bytes that are valid UTF-8 would read as UTF-8, as another text: such a line is
    // written in UTF-8, which reads back as it was written.
    if (m_unit.unitBytes() == 1 && textOf(*raw) != text)
        raw = IniCodec(IniCodec::Encoding::Utf8).encode(text);
    if (!raw || textOf(*raw) != text)
        return std::nullopt;
    return IniTextLine{std::move(*raw), m_eol, text};
}

QByteArray IniText::write(const std::vector<const IniTextLine*>& lines) const
{
    QByteArray out = m_bom;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i]->raw;
        const bool last = i + 1 == lines.size();
        if (!lines[i]->eol.isEmpty() || last) {
            out += lines[i]->eol;
            continue;
        }
        // A UTF-16 file cut inside its last code unit: that unit is made whole before anything follows
        // it, or every line after it would be read one byte off.
        out.append(out.size() % m_unit.unitBytes(), '\0');
        out += m_eol;
    }
    return out;
}

} // namespace vx
