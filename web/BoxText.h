#pragma once
// Text from the web site shown in a message box (a version line, a file name) is made fit for the box:
// - its format characters (direction marks, embeddings, overrides, isolates, joiners, ...) are dropped,
//   so nothing the site sends can turn the program's own words around it;
// - a run of more than kBoxTextRun characters in which the box could not wrap (no space, no hyphen)
//   gets an invisible break opportunity (a zero-width space), so the box can wrap it instead of growing
//   off the screen;
// - it is cut to at most kBoxTextLines lines and kBoxTextChars UTF-16 units (the break opportunities
//   included), with "…" right after the last character kept. Every kind of line break counts, CR LF as
//   one.
// Characters here are whole characters as the reader sees them: a letter with its combining marks, or
// a character outside the basic plane, is never parted, neither by a break opportunity nor by the cut.

#include <QString>

namespace vx {

inline constexpr int kBoxTextLines = 10;
inline constexpr int kBoxTextChars = 500;
inline constexpr int kBoxTextRun = 20;

QString boxText(const QString& siteText);

} // namespace vx
