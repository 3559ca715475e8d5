#include "platform/PictureFile.h"

#include "platform/JpegImage.h"

#include <QFileInfo>
#include <QImageReader>

namespace vx {

namespace {

// Extension and the reader format behind it; null for the formats we know by name only. JPEG goes
// through our own decoder.
struct Format {
    const char* extension;
    const char* reader;
    bool jpeg = false;
};

constexpr Format kFormats[] = {
    {"bmp", "bmp"},   {"ico", "ico"},   {"tif", "tiff"},           {"tiff", "tiff"},
    {"wmf", nullptr}, {"emf", nullptr}, {"jpg", nullptr, true}, {"jpeg", nullptr, true},
};

const Format* formatOf(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    for (const Format& f : kFormats)
        if (extension == QLatin1String(f.extension))
            return &f;
    return nullptr;
}

} // namespace

bool PictureFile::knowsExtension(const QString& name) { return formatOf(name) != nullptr; }

QImage PictureFile::load(const QString& path, QSize bounds)
{
    if (const Format* f = formatOf(path)) {
        if (f->jpeg)
            return JpegImage::load(path, bounds);
        if (!f->reader)
            return {};
        QImageReader reader(path, f->reader);
        // The extension decides: a file of another format under this name is no picture.
        reader.setDecideFormatFromContent(false);
        // A compressed file of a few bytes may announce a picture of any size: beyond this it is none.
        reader.setAllocationLimit(kMaxMegabytes);
        const QImage image = reader.read();
        if (bounds.isEmpty() || (image.width() <= bounds.width() && image.height() <= bounds.height()))
            return image;
        return image.scaled(bounds, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return {};
}

} // namespace vx
