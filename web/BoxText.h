#pragma once
// Text from the web site shown in a message box (a version line, a file name) is cut to a size that
// keeps the box on the screen with its buttons: at most kBoxTextLines lines and kBoxTextChars
// characters, with "…" where it was cut. Every kind of line break counts, CR LF as one. A long run
// without a space gets invisible break opportunities, so the box can wrap it.

#include <QString>

namespace vx {

inline constexpr int kBoxTextLines = 10;
inline constexpr int kBoxTextChars = 500;

QString boxText(const QString& siteText);

} // namespace vx
