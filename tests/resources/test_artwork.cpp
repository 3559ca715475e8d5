// The pictures the build draws: every port section inside its rectangle of the sprite sheet, the glyphs
// at their sizes, the resources by the paths the windows load them from.
#include "core/Shapes.h"
#include "platform/JpegImage.h"

#include <QColor>
#include <QDir>
#include <QStringList>
#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct ShapePicture {
    int type;
    const char* name; // the glyph's resource name
    QRect source;     // its rectangle in the sprite sheet
    bool slot;
};

void PrintTo(const ShapePicture& s, std::ostream* os)
{
    *os << s.name;
}

// The sprite sheet's picture table, by port type.
const ShapePicture kShapes[] = {
    {0, "TUB", {0, 0, 152, 107}, false},          {1, "CONE", {152, 0, 176, 114}, false},
    {2, "TUBCONE", {328, 0, 180, 123}, false},    {3, "CONETUBCONE", {508, 0, 174, 110}, false},
    {4, "BOX", {0, 123, 144, 155}, true},         {5, "PRISM", {152, 123, 171, 159}, true},
    {6, "BOXPRISM", {328, 123, 174, 173}, true},  {7, "PRISMBOXPRISM", {508, 123, 169, 159}, true},
    {8, "CURVECONE", {682, 0, 153, 111}, false},  {9, "CURVEFLAT", {677, 123, 153, 160}, true},
    {10, "FLARETUBE", {836, 0, 137, 105}, false}, {11, "FLAREFLAT", {830, 123, 141, 159}, true},
};

const QImage& sheet()
{
    static const QImage image = QImage(QString::fromUtf8(VX_SPRITE_SHEET)).convertToFormat(QImage::Format_RGB32);
    return image;
}

bool white(QRgb c)
{
    return qRed(c) >= 250 && qGreen(c) >= 250 && qBlue(c) >= 250;
}

// The smallest rectangle holding every pixel of `area` that is not white.
QRect inkBounds(const QImage& image, const QRect& area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!white(image.pixel(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

class SheetPicture : public testing::TestWithParam<ShapePicture> {};

} // namespace

TEST(SpriteSheet, IsBesideTheExecutableAtLeastTheSizeOfTheTable)
{
    ASSERT_FALSE(sheet().isNull()) << VX_SPRITE_SHEET;
    EXPECT_GE(sheet().width(), 973);
    EXPECT_GE(sheet().height(), 296);
}

TEST_P(SheetPicture, IsDrawnInsideItsRectangle)
{
    ASSERT_FALSE(sheet().isNull());
    const QRect r = GetParam().source;
    const QRect ink = inkBounds(sheet(), r);
    ASSERT_FALSE(ink.isNull()) << "nothing drawn";
    // Clear of the rectangle's edges, so the copy into the window shows no cut-off line ...
    EXPECT_TRUE(r.adjusted(1, 1, -1, -1).contains(ink)) << "ink " << ink.x() << "," << ink.y() << " "
                                                         << ink.width() << "x" << ink.height();
    // ... and still using the rectangle, not a thumbnail in a corner of it.
    EXPECT_GE(ink.width(), r.width() * 3 / 4);
    EXPECT_GE(ink.height(), r.height() * 3 / 4);
}

TEST_P(SheetPicture, GlyphHasTheButtonSizeAndShowsTheShape)
{
    const ShapePicture& s = GetParam();
    for (const char* suffix : {".bmp", ".png"}) {
        const QString path = QString(":/glyphs/") + s.name + suffix;
        const QImage glyph(path);
        ASSERT_FALSE(glyph.isNull()) << path.toStdString();
        EXPECT_EQ(glyph.width(), 20) << path.toStdString();
        EXPECT_GE(glyph.height(), 16) << path.toStdString();
        EXPECT_LE(glyph.height(), 19) << path.toStdString();
    }
    const QImage transparent(QString(":/glyphs/") + s.name + ".png");
    EXPECT_EQ(qAlpha(transparent.pixel(0, 0)), 0) << "the PNG glyph's background is transparent";
    EXPECT_GT(qAlpha(transparent.pixel(10, transparent.height() / 2)), 0) << "the port itself is drawn";
}

INSTANTIATE_TEST_SUITE_P(Shapes, SheetPicture, testing::ValuesIn(kShapes),
                         [](const testing::TestParamInfo<ShapePicture>& info) { return std::string(info.param.name); });

TEST(SpriteSheet, IsWhiteOutsideThePictures)
{
    ASSERT_FALSE(sheet().isNull());
    for (int y = 0; y < sheet().height(); ++y)
        for (int x = 0; x < sheet().width(); ++x) {
            bool inside = false;
            for (const ShapePicture& s : kShapes)
                inside = inside || s.source.contains(x, y);
            if (!inside) {
                ASSERT_TRUE(white(sheet().pixel(x, y))) << "at " << x << "," << y;
            }
        }
}

TEST(Glyphs, RoundAndSlotCounterpartsDiffer)
{
    // Each button's two glyphs (by section) must tell the sections apart.
    const std::pair<const char*, const char*> pairs[] = {{"TUB", "BOX"},
                                                         {"CONE", "PRISM"},
                                                         {"TUBCONE", "BOXPRISM"},
                                                         {"CONETUBCONE", "PRISMBOXPRISM"},
                                                         {"CURVECONE", "CURVEFLAT"},
                                                         {"FLARETUBE", "FLAREFLAT"}};
    for (const auto& [round, slot] : pairs) {
        const QImage a(QString(":/glyphs/") + round + ".bmp"), b(QString(":/glyphs/") + slot + ".bmp");
        EXPECT_NE(a, b) << round << " / " << slot;
    }
}

TEST(Glyphs, FolderHoldsTheGlyphsOfTheShapeRowsAndNoOthers)
{
    // The build's list of glyph files is read from the shape rows; a row it missed would leave its
    // button blank, a name it kept after a row went would draw a glyph nothing shows.
    QStringList expected;
    for (const vx::ShapeRow& row : vx::kShapes) {
        const QString name = QString::fromLatin1(row.name.data(), static_cast<qsizetype>(row.name.size()));
        expected << name + ".bmp" << name + ".png";
    }
    expected.sort();
    EXPECT_EQ(QDir(QStringLiteral(":/glyphs")).entryList(QDir::Files, QDir::Name), expected);
}

namespace {

struct Resource {
    const char* path;
    QSize size;
    QPoint patchAt{}; // where the main window lays a patch of the box sketch
};

void PrintTo(const Resource& r, std::ostream* os)
{
    *os << r.path;
}

const Resource kResources[] = {
    {":/buttons/new.png", {20, 20}},        {":/buttons/open.png", {20, 20}},
    {":/buttons/save.png", {20, 20}},       {":/buttons/print.png", {20, 20}},
    {":/buttons/delete.png", {20, 20}},     {":/buttons/calc.png", {20, 20}},
    {":/buttons/recalc.png", {20, 20}},     {":/pictures/box.png", {120, 150}},
    {":/pictures/box_woofer.png", {58, 58}}, {":/pictures/box_port2.png", {20, 20}},
    {":/pictures/box_port3.png", {20, 20}}, {":/pictures/banner.png", {291, 39}},
    {":/pictures/brands.png", {218, 154}},  {":/pictures/alpha.png", {9, 13}},
    {":/pictures/splash_button.png", {75, 24}}, {":/icon.png", {64, 64}},
    {":/icon32.png", {32, 32}},
};

class ResourcePicture : public testing::TestWithParam<Resource> {};

} // namespace

TEST_P(ResourcePicture, LoadsAtItsSize)
{
    const QImage image(QString::fromUtf8(GetParam().path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Paths, ResourcePicture, testing::ValuesIn(kResources),
                         [](const testing::TestParamInfo<Resource>& info) {
                             std::string name;
                             for (const char* c = info.param.path; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(SplashPicture, DecodesThroughTheJpegDecoder)
{
    const QImage image = vx::JpegImage::load(":/splash.jpg");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(400, 225));
}

namespace {

// The box sketch's patches, where the main window lays them over the sketch.
const Resource kPatches[] = {
    {":/pictures/box_woofer.png", {58, 58}, {31, 63}},
    {":/pictures/box_port2.png", {20, 20}, {50, 122}},
    {":/pictures/box_port3.png", {20, 20}, {80, 122}},
};

class BoxPatch : public testing::TestWithParam<Resource> {};

} // namespace

TEST_P(BoxPatch, BlendsIntoTheBoxAndHidesWhatIsUnderIt)
{
    const QImage box = QImage(":/pictures/box.png").convertToFormat(QImage::Format_RGB32);
    const QImage patch = QImage(GetParam().path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(box.isNull());
    ASSERT_FALSE(patch.isNull());
    const QRect area(GetParam().patchAt, patch.size());
    ASSERT_TRUE(box.rect().contains(area));

    // Just outside the patch the sketch shows the box's colour, the patch's own.
    const QRgb colour = patch.pixel(0, 0);
    for (const QPoint p : {area.topLeft() + QPoint(-1, -1), area.topRight() + QPoint(1, -1),
                           area.bottomLeft() + QPoint(-1, 1), area.bottomRight() + QPoint(1, 1)})
        EXPECT_EQ(box.pixel(p), colour) << p.x() << "," << p.y();
    // Under it lies something else: a woofer or a port.
    bool covers = false;
    for (int y = area.top(); y <= area.bottom() && !covers; ++y)
        for (int x = area.left(); x <= area.right() && !covers; ++x)
            covers = box.pixel(x, y) != colour;
    EXPECT_TRUE(covers);
}

INSTANTIATE_TEST_SUITE_P(Sketch, BoxPatch, testing::ValuesIn(kPatches));
