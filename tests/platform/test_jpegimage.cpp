#include "platform/JpegImage.h"

#include "CraftedJpeg.h"

#include <QBuffer>
#include <QColor>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <utility>
#include <vector>

using vx::JpegImage;

namespace {

// A picture of four coloured quarters, so a decoder that swaps channels, flips rows or mixes up the
// width and height is caught by the colour found in each corner.
struct Quarters {
    const char* name;
    int width;
    int height;
    QRgb topLeft, topRight, bottomLeft, bottomRight;
    bool grey;
};

const Quarters kPictures[] = {
    {"Splash", 400, 225, qRgb(220, 30, 30), qRgb(30, 200, 40), qRgb(30, 40, 210), qRgb(240, 240, 240), false},
    {"OddSize", 33, 17, qRgb(250, 250, 0), qRgb(0, 0, 0), qRgb(0, 230, 230), qRgb(200, 0, 200), false},
    {"Tall", 24, 96, qRgb(128, 64, 0), qRgb(255, 255, 255), qRgb(0, 128, 255), qRgb(64, 64, 64), false},
    {"Grey", 64, 48, qRgb(20, 20, 20), qRgb(230, 230, 230), qRgb(128, 128, 128), qRgb(70, 70, 70), true},
};

void PrintTo(const Quarters& p, std::ostream* os)
{
    *os << p.name;
}

QImage paint(const Quarters& p)
{
    QImage image(p.width, p.height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = p.width / 2, h = p.height / 2;
    painter.fillRect(0, 0, w, h, QColor(p.topLeft));
    painter.fillRect(w, 0, p.width - w, h, QColor(p.topRight));
    painter.fillRect(0, h, w, p.height - h, QColor(p.bottomLeft));
    painter.fillRect(w, h, p.width - w, p.height - h, QColor(p.bottomRight));
    painter.end();
    return p.grey ? image.convertToFormat(QImage::Format_Grayscale8) : image;
}

bool qtWritesJpeg()
{
    return QImageWriter::supportedImageFormats().contains("jpeg");
}

QByteArray writtenByQt(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.write(image);
    return bytes;
}

// Qt's own writer where its plugin is there, our encoder in any case.
enum class Writer { Qt, Own };

void PrintTo(Writer w, std::ostream* os)
{
    *os << (w == Writer::Qt ? "Qt's writer" : "own writer");
}

QByteArray written(const QImage& image, Writer writer)
{
    return writer == Writer::Qt ? writtenByQt(image) : JpegImage::encode(image, 95);
}

void expectNear(QRgb actual, QRgb expected, const char* where)
{
    constexpr int kTolerance = 12; // JPEG is lossy; a wrong channel order is off by far more
    EXPECT_NEAR(qRed(actual), qRed(expected), kTolerance) << where;
    EXPECT_NEAR(qGreen(actual), qGreen(expected), kTolerance) << where;
    EXPECT_NEAR(qBlue(actual), qBlue(expected), kTolerance) << where;
}

void expectQuarters(const QImage& image, const Quarters& p)
{
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.width(), p.width);
    ASSERT_EQ(image.height(), p.height);
    // Sample well inside each quarter, away from the blurred borders between them.
    const int x0 = p.width / 4, x1 = p.width * 3 / 4, y0 = p.height / 4, y1 = p.height * 3 / 4;
    const QImage& src = paint(p);
    expectNear(image.pixel(x0, y0), src.pixel(x0, y0), "top left");
    expectNear(image.pixel(x1, y0), src.pixel(x1, y0), "top right");
    expectNear(image.pixel(x0, y1), src.pixel(x0, y1), "bottom left");
    expectNear(image.pixel(x1, y1), src.pixel(x1, y1), "bottom right");
}

class JpegDecode : public testing::TestWithParam<std::tuple<Quarters, Writer>> {};

} // namespace

TEST_P(JpegDecode, DecodesToTheRightSizeAndColours)
{
    const auto& [picture, writer] = GetParam();
    if (writer == Writer::Qt && !qtWritesJpeg())
        GTEST_SKIP() << "Qt has no JPEG writer here; the own-encoder row covers the decoder";
    const QByteArray bytes = written(paint(picture), writer);
    ASSERT_FALSE(bytes.isEmpty());
    expectQuarters(JpegImage::decode(bytes), picture);
}

TEST_P(JpegDecode, LoadsFromAFile)
{
    const auto& [picture, writer] = GetParam();
    if (writer == Writer::Qt && !qtWritesJpeg())
        GTEST_SKIP() << "Qt has no JPEG writer here";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("picture.jpg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(written(paint(picture), writer));
    file.close();
    expectQuarters(JpegImage::load(file.fileName()), picture);
}

// Into bounds: a larger picture comes down to fit them with its proportions (through the decoder's
// reduced scales and a last smooth step), its quarters where they were; a smaller one as it is.
TEST_P(JpegDecode, ScaledDownIntoBounds)
{
    const auto& [picture, writer] = GetParam();
    if (writer == Writer::Qt && !qtWritesJpeg())
        GTEST_SKIP() << "Qt has no JPEG writer here";
    const QByteArray bytes = written(paint(picture), writer);
    const QSize size(picture.width, picture.height);
    for (const QSize bounds : {size / 2, size / 3, QSize(size.width(), size.height() / 8), size * 2, size}) {
        const QImage image = JpegImage::decode(bytes, bounds);
        const bool fits = size.width() <= bounds.width() && size.height() <= bounds.height();
        const QSize expected = fits ? size : size.scaled(bounds, Qt::KeepAspectRatio);
        ASSERT_EQ(image.size(), expected) << bounds.width() << "x" << bounds.height();
        if (expected.width() < 8 || expected.height() < 8)
            continue; // too small to tell the quarters apart
        const QImage src = paint(picture);
        for (const auto& [fx, fy] : {std::pair{1, 1}, std::pair{3, 1}, std::pair{1, 3}, std::pair{3, 3}})
            expectNear(image.pixel(expected.width() * fx / 4, expected.height() * fy / 4),
                       src.pixel(size.width() * fx / 4, size.height() * fy / 4), "a quarter");
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, JpegDecode,
                         testing::Combine(testing::ValuesIn(kPictures), testing::Values(Writer::Qt, Writer::Own)),
                         [](const testing::TestParamInfo<JpegDecode::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name)
                                 + (std::get<1>(info.param) == Writer::Qt ? "_QtWriter" : "_OwnWriter");
                         });

namespace {

QByteArray sound()
{
    return JpegImage::encode(paint(kPictures[0]), 90);
}

// Damaged data, each made from a sound JPEG.
struct Damage {
    const char* name;
    QByteArray (*make)();
};

QByteArray cut(double keep)
{
    const QByteArray good = sound();
    return good.left(qsizetype(good.size() * keep));
}

// The frame header announces a picture far too large to allocate.
QByteArray hugeFrame()
{
    QByteArray bytes = sound();
    for (qsizetype i = 0; i + 8 < bytes.size(); ++i) {
        const uchar a = uchar(bytes[i]), b = uchar(bytes[i + 1]);
        if (a == 0xFF && (b == 0xC0 || b == 0xC1 || b == 0xC2)) {
            // FF C0, length (2), precision (1), height (2), width (2)
            bytes[i + 5] = char(0xFF);
            bytes[i + 6] = char(0xFF);
            bytes[i + 7] = char(0xFF);
            bytes[i + 8] = char(0xFF);
            break;
        }
    }
    return bytes;
}

QByteArray garbage()
{
    QByteArray bytes(4096, '\0');
    unsigned seed = 12345;
    for (auto& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = char(seed >> 16);
    }
    return bytes;
}

QByteArray startMarkerThenGarbage()
{
    return QByteArray("\xFF\xD8\xFF", 3) + garbage();
}

QByteArray png()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    paint(kPictures[1]).save(&buffer, "PNG");
    return bytes;
}

void PrintTo(const Damage& d, std::ostream* os)
{
    *os << d.name;
}

const Damage kDamaged[] = {
    {"Empty", [] { return QByteArray(); }},
    {"StartMarkerOnly", [] { return QByteArray("\xFF\xD8", 2); }},
    {"HeaderOnly", [] { return cut(0.05); }},
    {"CutInHalf", [] { return cut(0.5); }},
    {"CutNearTheEnd", [] { return cut(0.9); }},
    {"EndMarkerMissing", [] { const QByteArray g = sound(); return g.left(g.size() - 2); }},
    {"Garbage", garbage},
    {"StartMarkerThenGarbage", startMarkerThenGarbage},
    {"Png", png},
    {"HugeFrame", hugeFrame},
};

class JpegDamaged : public testing::TestWithParam<Damage> {};

} // namespace

TEST_P(JpegDamaged, GivesANullImage)
{
    EXPECT_TRUE(JpegImage::decode(GetParam().make()).isNull());
}

INSTANTIATE_TEST_SUITE_P(Data, JpegDamaged, testing::ValuesIn(kDamaged),
                         [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST(JpegLoad, MissingFileGivesANullImage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(JpegImage::load(dir.filePath("none.jpg")).isNull());
}

TEST(JpegLoad, DecoderStillWorksAfterAFailure)
{
    // A failed decode must leave nothing behind that spoils the next one.
    EXPECT_TRUE(JpegImage::decode(cut(0.5)).isNull());
    expectQuarters(JpegImage::decode(sound()), kPictures[0]);
}

// ---- the reduction a picture is decoded at, and the caps on what is decoded at all

// The strongest of libjpeg's reductions that still gives the size shown, stronger still where the
// decoder's memory with the decoded picture, or the decoded picture with its scaled copy, would pass
// the working memory.
TEST(JpegReduction, CoversTheShownSizeWithinTheWorkingMemory)
{
    // Every coefficient of an 8192 x 8192 progressive picture in 4:2:0, which the decoder keeps.
    constexpr qint64 kProgressiveCoefficients = 192LL * 1024 * 1024;
    struct Row {
        const char* name;
        QSize size, bounds;
        qint64 decoderBytes;
        int reduction;
    };
    const Row rows[] = {
        {"FitsAsItIs", {400, 225}, {400, 225}, 0, 1},
        {"HalfCoversTheBounds", {400, 225}, {200, 113}, 0, 2},
        {"EighthCoversTheBoundsExactly", {8192, 8192}, {1024, 1024}, 0, 8},
        {"EighthOnePixelShort", {8192, 8192}, {1025, 1025}, 0, 4},
        // the room of the advert window on screens of 3840 x 2160 and 7680 x 4320
        {"LargeOnA4kScreen", {8192, 8192}, {3827, 2122}, 0, 2},
        {"LargeOnAn8kScreenHalvedForMemory", {8192, 8192}, {7667, 4282}, 0, 2},
        {"ProgressiveOnA4kScreenQuarteredForMemory", {8192, 8192}, {3827, 2122}, kProgressiveCoefficients, 4},
        {"ProgressiveOnAn8kScreenQuarteredForMemory", {8192, 8192}, {7667, 4282}, kProgressiveCoefficients, 4},
        {"ScaledCopyCountsToo", {7000, 7000}, {7667, 4282}, 0, 2},
        {"NoBoundsButTooLargeForMemory", {8192, 8192}, {}, 0, 2},
        {"NoBounds", {4000, 3000}, {}, 0, 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(JpegImage::reduction(r.size, r.bounds, r.decoderBytes), r.reduction) << r.name;
}

namespace {

struct CapRow {
    const char* name;
    vx::test::CraftedJpeg jpeg;
    bool decoded;
};
void PrintTo(const CapRow& r, std::ostream* os)
{
    *os << r.name;
}

const CapRow kCapRows[] = {
    {"AtThePixelCap", {8192, 8192, {128}}, true},
    {"OverThePixelCap", {8200, 8200, {128}}, false},
    // three full-resolution components of 4000 x 4000 keep 96 MB of coefficients, 6000 x 6000 216 MB
    {"ProgressiveWithinTheDecoderMemory", {4000, 4000, {128, 128, 128}, true}, true},
    {"ProgressiveOverTheDecoderMemory", {6000, 6000, {128, 128, 128}, true}, false},
};

class JpegCaps : public testing::TestWithParam<CapRow> {};

} // namespace

TEST_P(JpegCaps, BeyondACapNothingIsDecoded)
{
    const CapRow& r = GetParam();
    const QImage image = JpegImage::decode(r.jpeg.bytes(), QSize(800, 600));
    EXPECT_EQ(!image.isNull(), r.decoded);
    if (r.decoded) {
        EXPECT_EQ(image.size(), QSize(600, 600));
        expectNear(image.pixel(300, 300), qRgb(128, 128, 128), "middle");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, JpegCaps, testing::ValuesIn(kCapRows),
                         [](const testing::TestParamInfo<CapRow>& info) { return std::string(info.param.name); });

// Four components are CMYK: Adobe's files store the inks inverted, others as they are; either way the
// picture shows its real colours.
TEST(JpegCmyk, ShowsItsRealColours)
{
    struct Row {
        const char* name;
        std::vector<int> stored; // C, M, Y, K
        bool adobe;
        QRgb colour;
    };
    const Row rows[] = {
        {"AdobeRed", {255, 0, 0, 255}, true, qRgb(255, 0, 0)},
        {"AdobeDarkCyan", {0, 255, 255, 127}, true, qRgb(0, 127, 127)},
        {"PlainRed", {0, 255, 255, 0}, false, qRgb(255, 0, 0)},
        {"PlainWhite", {0, 0, 0, 0}, false, qRgb(255, 255, 255)},
    };
    for (const Row& r : rows) {
        const QImage image = JpegImage::decode(vx::test::CraftedJpeg{16, 16, r.stored, false, r.adobe}.bytes());
        ASSERT_EQ(image.size(), QSize(16, 16)) << r.name;
        expectNear(image.pixel(8, 8), r.colour, r.name);
    }
}
