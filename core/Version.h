#pragma once
// The program's own version. It stands in the window caption, the about panel and the section print,
// and the advert index's version is compared with it. CMakeLists.txt reads it from this line for
// project(... VERSION ...), so the build and the program cannot name different versions. (The splash
// window's "ver. 1.21" is a fixed text of its layout, not this version.)

#include <string>

namespace vx {

inline constexpr char kProgramVersion[] = "1.2";

// The program's name with its version, as the caption, the about panel and the section print show it.
inline std::string programTitle()
{
    return std::string("Vornalex ") + kProgramVersion;
}

} // namespace vx
