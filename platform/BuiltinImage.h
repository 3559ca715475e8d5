#pragma once
// Pictures in the formats Qt reads itself (PNG, BMP), read by that reader directly. Left to find the
// reader on its own, Qt first offers every picture to each of its format plug-ins (GIF, ICO, JPEG) and
// so loads all of them into the program at start, although none of them reads these formats.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace vx {

// The picture in the format its name ends in; a null picture when it is missing or not of that format.
// A plain uncompressed 24-bit BMP (the sprite sheet) is unpacked here, row by row, into the same image
// Qt's reader makes of it, at a fraction of that reader's cost; every other BMP goes to Qt's reader.
QImage builtinImage(const QString& path);
QPixmap builtinPixmap(const QString& path);
QIcon builtinIcon(const QString& path);

} // namespace vx
