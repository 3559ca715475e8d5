// The program's own pictures: a plain 24-bit BMP unpacked by the program comes out exactly as Qt's BMP
// reader makes it (format, size, every pixel, resolution), whatever the row padding; other BMPs and PNGs
// are read by Qt's reader as before.
#include "platform/BuiltinImage.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage noise(int w, int h, QImage::Format format)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(quint32(w * 1000 + h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(rng.bounded(256), rng.bounded(256), rng.bounded(256)));
    image.setDotsPerMeterX(3780 + w);
    image.setDotsPerMeterY(2835 + h);
    return image.convertToFormat(format);
}

void expectSameAsQt(const QString& path)
{
    QImageReader qt(path);
    const QImage expected = qt.read();
    ASSERT_FALSE(expected.isNull()) << qPrintable(path);
    const QImage ours = vx::builtinImage(path);
    EXPECT_EQ(ours.format(), expected.format());
    EXPECT_EQ(ours.size(), expected.size());
    EXPECT_TRUE(ours == expected);
    EXPECT_EQ(ours.dotsPerMeterX(), expected.dotsPerMeterX());
    EXPECT_EQ(ours.dotsPerMeterY(), expected.dotsPerMeterY());
    EXPECT_EQ(QPixmap(path).toImage(), vx::builtinPixmap(path).toImage());
}

TEST(BuiltinImage, Plain24BitBmpIsTheImageQtReads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (int w : {1, 2, 3, 4, 5, 7, 973})
        for (int h : {1, 3, 296}) {
            const QString path = dir.filePath(QStringLiteral("s%1x%2.BMP").arg(w).arg(h));
            ASSERT_TRUE(QImageWriter(path, "bmp").write(noise(w, h, QImage::Format_RGB32)));
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            ASSERT_EQ(f.read(30).mid(28, 2), QByteArray("\x18\x00", 2)) << "not written as 24 bits";
            f.close();
            expectSameAsQt(path);
        }
}

TEST(BuiltinImage, OtherPicturesAreReadByQt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString indexed = dir.filePath(QStringLiteral("indexed.bmp"));
    ASSERT_TRUE(QImageWriter(indexed, "bmp").write(noise(9, 5, QImage::Format_Indexed8)));
    expectSameAsQt(indexed);
    const QString png = dir.filePath(QStringLiteral("picture.png"));
    ASSERT_TRUE(QImageWriter(png, "png").write(noise(9, 5, QImage::Format_ARGB32)));
    expectSameAsQt(png);
}

TEST(BuiltinImage, CutOrForeignDataIsNoBmp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("cut.bmp"));
    ASSERT_TRUE(QImageWriter(path, "bmp").write(noise(40, 30, QImage::Format_RGB32)));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() / 2));
    f.close();
    // What Qt's reader makes of the rows that are there (the others it leaves unset).
    const QImage cut = vx::builtinImage(path);
    EXPECT_EQ(cut.size(), QSize(40, 30));
    EXPECT_EQ(cut.format(), QImage::Format_RGB32);

    const QString png = dir.filePath(QStringLiteral("png-inside.bmp"));
    ASSERT_TRUE(QImageWriter(png, "png").write(noise(8, 8, QImage::Format_RGB32)));
    EXPECT_TRUE(vx::builtinImage(png).isNull());
    EXPECT_TRUE(vx::builtinImage(dir.filePath(QStringLiteral("missing.bmp"))).isNull());
}

} // namespace
