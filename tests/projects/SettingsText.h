#pragma once
// Settings texts for the project tests: rows run with both decimal separators, and a settings text
// marks where the separator goes.

#include <QByteArray>
#include <QString>

#include <ostream>
#include <string>

// Texts in failure messages as text.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace vx::test {

inline constexpr char kSeparators[] = {'.', ','};

inline QString q(const char* s) { return QString::fromUtf8(s); }

// "{s}" in a settings text stands for the decimal separator of the row, "{o}" for the other one.
inline QByteArray withSeparator(const char* text, char sep)
{
    QByteArray out(text);
    out.replace("{s}", QByteArray(1, sep));
    out.replace("{o}", QByteArray(1, sep == '.' ? ',' : '.'));
    return out;
}

// The separator as a part of a test name.
inline std::string sepName(char sep) { return sep == '.' ? "Point" : "Comma"; }

} // namespace vx::test
