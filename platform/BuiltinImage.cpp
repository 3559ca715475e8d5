#include "platform/BuiltinImage.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace vx {

namespace {

quint32 le32(const uchar* p) { return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24; }
quint16 le16(const uchar* p) { return quint16(p[0] | p[1] << 8); }

// A bottom-up, uncompressed 24-bit BMP with the 40-byte header; null for anything else.
QImage plainBmp24(const QByteArray& data)
{
    constexpr qsizetype kHeaders = 14 + 40;
    if (data.size() < kHeaders)
        return {};
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    if (d[0] != 'B' || d[1] != 'M')
        return {};
    const quint32 offset = le32(d + 10);
    const quint32 headerSize = le32(d + 14);
    const qint32 width = qint32(le32(d + 18));
    const qint32 height = qint32(le32(d + 22));
    if (headerSize != 40 || le16(d + 26) != 1 || le16(d + 28) != 24 || le32(d + 30) != 0)
        return {};
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || offset < quint32(kHeaders))
        return {};
    const qsizetype rowBytes = ((qsizetype(width) * 24 + 31) / 32) * 4;
    if (qsizetype(offset) + rowBytes * height > data.size())
        return {};

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDotsPerMeterX(qint32(le32(d + 38)));
    image.setDotsPerMeterY(qint32(le32(d + 42)));
    for (qint32 y = 0; y < height; ++y) {
        const uchar* src = d + offset + rowBytes * (height - 1 - y); // the last row comes first
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (qint32 x = 0; x < width; ++x, src += 3)
            dst[x] = qRgb(src[2], src[1], src[0]);
    }
    return image;
}

} // namespace

QImage builtinImage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format == "bmp") {
        QImage image = plainBmp24(file.readAll());
        if (!image.isNull())
            return image;
        file.seek(0);
    }
    QImageReader reader(&file, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap builtinPixmap(const QString& path)
{
    const QImage image = builtinImage(path);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QIcon builtinIcon(const QString& path) { return QIcon(builtinPixmap(path)); }

} // namespace vx
