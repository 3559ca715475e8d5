#pragma once
// Project names as the settings file holds them: the section name of a project is its name with the
// ASCII letters a..z upper-cased (every other letter keeps its case), and only names that survive a
// section header line of that file unchanged are accepted.

#include <QString>

namespace vx {

class IniFile;

// "bass Бокс" → "BASS Бокс": only a..z change.
QString upperAsciiName(const QString& name);

// Empty when the name can stand in a section header of `file` as it is; otherwise the warning that
// refuses it.
QString nameProblem(const QString& name, const IniFile& file);

} // namespace vx
