// Draws the program's pictures into a folder: the shape glyphs, the sprite sheet of port sections, the
// box sketch and its patches, the command-button pictures, the splash picture (JPEG) and the rest.
// Run by the build; usage: vx_artgen <output folder>.

#include "PortArt.h"
#include "ProgramArt.h"

#include "platform/JpegImage.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool saveImage(const QImage& image, const QString& path, const char* format)
{
    if (!image.save(path, format)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool saveJpeg(const QImage& image, const QString& path)
{
    const QByteArray bytes = vx::JpegImage::encode(image, 92);
    QFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // fonts for the letters
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx_artgen <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const char* sub : {"glyphs", "pictures", "buttons"})
        out.mkpath(sub);

    bool ok = saveImage(PortArt::spriteSheet(), out.filePath("Vornalex.BMP"), "BMP");
    // The glyphs: a BMP on the button face colour by the shape's resource name, and a PNG with a
    // transparent background for buttons on any colour.
    const QColor face(0xF0, 0xF0, 0xF0);
    for (const PortArt::Shape& s : PortArt::shapes()) {
        const QString base = out.filePath(QString("glyphs/") + s.name);
        ok &= saveImage(PortArt::glyph(s, face).convertToFormat(QImage::Format_RGB32), base + ".bmp", "BMP");
        ok &= saveImage(PortArt::glyph(s, Qt::transparent), base + ".png", "PNG");
    }

    ok &= saveImage(ProgramArt::box(), out.filePath("pictures/box.png"), "PNG");
    ok &= saveImage(ProgramArt::patch(ProgramArt::kWooferPatch), out.filePath("pictures/box_woofer.png"), "PNG");
    ok &= saveImage(ProgramArt::patch(ProgramArt::kSecondPortPatch), out.filePath("pictures/box_port2.png"), "PNG");
    ok &= saveImage(ProgramArt::patch(ProgramArt::kThirdPortPatch), out.filePath("pictures/box_port3.png"), "PNG");
    ok &= saveImage(ProgramArt::banner(), out.filePath("pictures/banner.png"), "PNG");
    ok &= saveImage(ProgramArt::brands(), out.filePath("pictures/brands.png"), "PNG");
    ok &= saveImage(ProgramArt::angleSign(), out.filePath("pictures/alpha.png"), "PNG");
    ok &= saveImage(ProgramArt::splashButton(), out.filePath("pictures/splash_button.png"), "PNG");
    ok &= saveJpeg(ProgramArt::splash(), out.filePath("splash.jpg"));
    ok &= saveImage(ProgramArt::icon(64), out.filePath("icon.png"), "PNG");
    ok &= saveImage(ProgramArt::icon(32), out.filePath("icon32.png"), "PNG");

    struct Named {
        ProgramArt::Button which;
        const char* file;
    };
    const Named buttons[] = {
        {ProgramArt::Button::New, "new"},       {ProgramArt::Button::Open, "open"},
        {ProgramArt::Button::Save, "save"},     {ProgramArt::Button::Print, "print"},
        {ProgramArt::Button::Delete, "delete"}, {ProgramArt::Button::Calc, "calc"},
        {ProgramArt::Button::Recalc, "recalc"},
    };
    for (const Named& b : buttons)
        ok &= saveImage(ProgramArt::button(b.which), out.filePath(QString("buttons/") + b.file + ".png"), "PNG");
    return ok ? 0 : 1;
}
