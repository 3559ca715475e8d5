#include "platform/PictureFile.h"

#include "platform/JpegImage.h"

#include <QFileInfo>
#include <QImageReader>

namespace vx {

namespace {

// Extension and the reader format behind it; null for the formats we know by name only.
struct Format {
    const char* extension;
    const char* reader;
};

constexpr Format kFormats[] = {
    {"bmp", "bmp"}, {"ico", "ico"}, {"tif", "tiff"}, {"tiff", "tiff"}, {"wmf", nullptr}, {"emf", nullptr},
};

} // namespace

QImage PictureFile::load(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        return JpegImage::load(path);
    for (const Format& f : kFormats) {
        if (extension != QLatin1String(f.extension))
            continue;
        if (!f.reader)
            return {};
        QImageReader reader(path, f.reader);
        // The extension decides: a file of another format under this name is no picture.
        reader.setDecideFormatFromContent(false);
        return reader.read();
    }
    return {};
}

} // namespace vx
