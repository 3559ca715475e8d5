#pragma once
// The folder the program keeps its files in: the settings file and the sprite sheet stand beside the
// executable. Tests that run the main window in-process point it at a temporary folder instead.

#include <QString>

namespace vx {

// The folder with its closing "/".
QString programFolder();
// Another folder for the rest of the process (empty: the executable's folder again).
void setProgramFolder(const QString& folder);

} // namespace vx
