#pragma once
// The bytes of a settings file as lines of text. Each line keeps the bytes it stands in and its own line
// end (LF, CR LF, or a lone CR as old Mac editors write), and reads in its own encoding: in an eight-bit
// file a line that is valid UTF-8 is UTF-8 and any other line Windows-1251, so one line added by a
// Windows editor does not change how the rest reads. A file that begins with a UTF-16 byte-order mark
// is UTF-16 throughout; a UTF-8 mark is kept as it is. A U+FEFF at the start of a line (two files put
// together with `cat`, each with its mark) is no character of it, as an editor shows it: the line reads
// as the text after it, and keeps its bytes.
//
// New and changed lines take the encoding most of the file's non-ASCII lines are in as the lines stand
// at that moment (UTF-8 on a tie and when there are none; UTF-16 in a UTF-16 file), and the line end of
// the file's first line. A line whose Windows-1251 bytes would read as UTF-8 ("В№1" is C2 B9 31, which
// UTF-8 reads as "¹1") is written in UTF-8 instead, which reads back as what was written.

#include "platform/IniCodec.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace vx {

struct IniTextLine {
    QByteArray raw; // the line's bytes as they stand in the file, without the line end
    QByteArray eol; // its line end as it stands; empty for a last line that has none
    QString text;   // the line read in its own encoding
};

class IniText {
public:
    // The lines of these file bytes; also takes the file's mark and what new lines look like.
    std::vector<IniTextLine> read(const QByteArray& data);

    // A line comes into the file (+1) or leaves it (-1); a changed line leaves with its old bytes and
    // comes back with its new ones. New lines then take the encoding of the lines as they now stand.
    void tally(const IniTextLine& line, int delta);

    // A new or changed line with this text, as the file writes new lines; nothing when their encoding
    // cannot hold the text, or when no bytes of it would read back as this text.
    std::optional<IniTextLine> line(const QString& text) const;
    bool canHold(const QString& text) const { return m_newLines.encode(text).has_value(); }

    // The file's bytes: the mark, then each line with its own line end. A last line without a line end
    // stays so; a line that had none and now has others after it takes the line end of new lines (in a
    // UTF-16 file cut inside its last code unit, after that unit is made whole).
    QByteArray write(const std::vector<const IniTextLine*>& lines) const;

private:
    // The text these bytes of one line read as.
    QString textOf(QByteArrayView raw) const;

    QByteArray m_bom;
    IniCodec m_unit;     // UTF-16 for a UTF-16 file; otherwise the code unit is a byte
    IniCodec m_newLines; // the encoding of new and changed lines
    int m_utf8Lines = 0, m_cp1251Lines = 0; // eight-bit lines that are not ASCII, by their encoding
    QByteArray m_eol = "\n"; // the line end of new lines
};

} // namespace vx
