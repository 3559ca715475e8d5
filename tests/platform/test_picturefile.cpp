#include "platform/PictureFile.h"

#include "platform/JpegImage.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

using vx::PictureFile;

namespace {

enum class Content { Jpeg, Bmp, Ico, Png, Tiff, Garbage };

QImage sample()
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(QColor(40, 160, 220));
    return image;
}

QByteArray bytesOf(Content c)
{
    if (c == Content::Jpeg)
        return vx::JpegImage::encode(sample(), 90);
    if (c == Content::Garbage)
        return QByteArray("not a picture at all, only text\n");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const char* format = c == Content::Bmp ? "bmp" : c == Content::Ico ? "ico" : c == Content::Tiff ? "tiff" : "png";
    QImageWriter(&buffer, format).write(sample());
    return bytes;
}

// A file name and what is in it; whether it loads follows from the name's extension alone.
struct Row {
    const char* fileName;
    Content content;
    bool loads;
};

void PrintTo(const Row& r, std::ostream* os)
{
    *os << r.fileName;
}

const Row kRows[] = {
    {"advert.jpg", Content::Jpeg, true},
    {"advert.jpeg", Content::Jpeg, true},
    {"ADVERT.JPG", Content::Jpeg, true},
    {"advert.bmp", Content::Bmp, true},
    {"Vornalex.BMP", Content::Bmp, true},
    {"advert.ico", Content::Ico, true},
    {"advert.tif", Content::Tiff, true},
    {"advert.TIFF", Content::Tiff, true},
    // The format follows the name: other data under a known name is no picture.
    {"jpeg_named.bmp", Content::Jpeg, false},
    {"bmp_named.jpg", Content::Bmp, false},
    {"advert.jpg.txt", Content::Jpeg, false},
    {"jpeg_named.tif", Content::Jpeg, false},
    {"bmp_named.tiff", Content::Bmp, false},
    {"tiff_named.bmp", Content::Tiff, false},
    // Names of no known format, and metafiles that cannot be drawn here.
    {"advert.png", Content::Png, false},
    {"advert", Content::Jpeg, false},
    {"advert.wmf", Content::Garbage, false},
    {"advert.emf", Content::Garbage, false},
    {"broken.jpg", Content::Garbage, false},
    {"broken.bmp", Content::Garbage, false},
};

class PictureByExtension : public testing::TestWithParam<Row> {};

} // namespace

TEST_P(PictureByExtension, LoadsOnlyWhatItsNameSays)
{
    const Row& row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(row.fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray bytes = bytesOf(row.content);
    ASSERT_FALSE(bytes.isEmpty());
    file.write(bytes);
    file.close();

    const QImage image = PictureFile::load(file.fileName());
    EXPECT_EQ(!image.isNull(), row.loads);
    if (row.loads) {
        EXPECT_EQ(image.size(), sample().size());
    }
    // Into smaller bounds it comes scaled down with its proportions; into larger ones as it is.
    const QImage smaller = PictureFile::load(file.fileName(), QSize(12, 12));
    EXPECT_EQ(!smaller.isNull(), row.loads);
    if (row.loads) {
        EXPECT_EQ(smaller.size(), QSize(12, 8));
        EXPECT_EQ(PictureFile::load(file.fileName(), QSize(100, 100)).size(), sample().size());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PictureByExtension, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) {
                             std::string name;
                             for (const char* c = info.param.fileName; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(PictureFile, MissingFileOrEmptyNameIsNoPicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(PictureFile::load(dir.filePath("absent.jpg")).isNull());
    EXPECT_TRUE(PictureFile::load(dir.filePath("absent.bmp")).isNull());
    EXPECT_TRUE(PictureFile::load(QString()).isNull());
}
