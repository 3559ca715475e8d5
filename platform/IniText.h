#pragma once
// The bytes of a settings file as lines of text. Each line keeps the bytes it stands in and its own line
// end (LF, CR LF, or a lone CR as old Mac editors write), and reads in its own encoding: in an eight-bit
// file a line that is valid UTF-8 is UTF-8 and any other line Windows-1251, so one line added by a
// Windows editor does not change how the rest reads. A file that begins with a UTF-16 byte-order mark
// is UTF-16 throughout; a UTF-8 mark is kept as it is.
//
// New and changed lines take the encoding most of the file's non-ASCII lines are in (UTF-8 on a tie and
// when there are none; UTF-16 in a UTF-16 file), and the line end of the file's first line.

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

    // A new or changed line with this text, as the file writes new lines; nothing when their encoding
    // cannot hold the text.
    std::optional<IniTextLine> line(const QString& text) const;
    bool canHold(const QString& text) const { return m_newLines.encode(text).has_value(); }

    // The file's bytes: the mark, then each line with its own line end. A last line without a line end
    // stays so; a line that had none and now has others after it takes the line end of new lines (in a
    // UTF-16 file cut inside its last code unit, after that unit is made whole).
    QByteArray write(const std::vector<const IniTextLine*>& lines) const;

private:
    QByteArray m_bom;
    IniCodec m_unit;     // UTF-16 for a UTF-16 file; otherwise the code unit is a byte
    IniCodec m_newLines; // the encoding of new and changed lines
    QByteArray m_eol = "\n"; // the line end of new lines
};

} // namespace vx
