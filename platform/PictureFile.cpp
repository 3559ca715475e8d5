#include "platform/PictureFile.h"

#include "platform/BmpLayout.h"
#include "platform/FitSize.h"
#include "platform/JpegImage.h"

#include <QBuffer>
#include <QFile>
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

constexpr qint64 kMaxBytes = qint64(PictureFile::kMaxMegabytes) * 1024 * 1024;

// The file's bytes by the reader of its format alone: nothing is guessed from the content, so data of
// another format under this name is no picture.
QImage read(QByteArray bytes, const char* format)
{
    if (qstrcmp(format, "bmp") == 0 && !BmpLayout::holdsItsPixels(bytes))
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    // A file of a few bytes may announce a picture of any size: one that would take more than the limit,
    // counted at four bytes a pixel or more as it is scaled, is none.
    reader.setAllocationLimit(PictureFile::kMaxMegabytes);
    return reader.read();
}

} // namespace

bool PictureFile::knowsExtension(const QString& name) { return formatOf(name) != nullptr; }

QImage PictureFile::load(const QString& path, QSize bounds)
{
    const Format* f = formatOf(path);
    if (!f || (!f->jpeg && !f->reader))
        return {};
    if (f->jpeg)
        return JpegImage::load(path, bounds);
    QFile file(path);
    // A file larger than any picture we would accept is not read into memory at all.
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes)
        return {};
    const QImage image = read(file.readAll(), f->reader);
    const QSize shown = fitInto(image.size(), bounds);
    if (image.isNull() || shown == image.size())
        return image;
    return image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace vx
