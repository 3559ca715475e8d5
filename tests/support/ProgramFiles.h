#pragma once
// The program's folder as the window tests lay it out: a temporary folder holding the sprite sheet that
// the start-up loads, taken as the folder of the executable. The test's target defines VX_SPRITE_SHEET,
// the sheet the build draws.

#include "projects/ProgramFolder.h"

#include <QFile>
#include <QTemporaryDir>

namespace vx::test {

// True when the folder could be made and holds the sprite sheet; it is then the program's folder.
inline bool makeProgramFolder(const QTemporaryDir& dir)
{
    if (!dir.isValid() || !QFile::copy(QStringLiteral(VX_SPRITE_SHEET), dir.filePath(QStringLiteral("Vornalex.BMP"))))
        return false;
    vx::setProgramFolder(dir.path());
    return true;
}

} // namespace vx::test
