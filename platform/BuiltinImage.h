#pragma once
// Pictures in the formats Qt reads itself (PNG, BMP), read by that reader directly. Left to find the
// reader on its own, Qt first offers every picture to each of its format plug-ins (GIF, ICO, JPEG) and
// so loads all of them into the program at start, although none of them reads these formats.

#include <QByteArray>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QString>

namespace vx {

// The picture in the format its name ends in; a null picture when it is missing or not of that format.
inline QImage builtinImage(const QString& path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

inline QPixmap builtinPixmap(const QString& path)
{
    const QImage image = builtinImage(path);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

inline QIcon builtinIcon(const QString& path) { return QIcon(builtinPixmap(path)); }

} // namespace vx
