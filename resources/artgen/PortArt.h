#pragma once
// The pictures of the twelve port shapes: the longitudinal sections of the sprite sheet, each drawn
// inside its own rectangle of the sheet, and the small glyphs of the shape buttons.

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

class PortArt {
public:
    struct Shape {
        int type;        // the port type, 0..11
        QString name;    // the glyph's resource name
        QRect source;    // where the shape's picture lies in the sprite sheet
        bool slot;       // rectangular section
        int glyphHeight; // 16..19 pixels; the glyphs are 20 wide
    };

    static constexpr int kSheetWidth = 973;
    static constexpr int kSheetHeight = 296;
    static constexpr int kGlyphWidth = 20;

    static const std::vector<Shape>& shapes();

    // The whole sprite sheet, white, with every shape's section inside its rectangle.
    static QImage spriteSheet();
    // One shape's picture at the size of its rectangle.
    static QImage section(const Shape& shape);
    // A shape button's glyph; `background` fills what is not the port (transparent for the PNG copy).
    static QImage glyph(const Shape& shape, QColor background);
};
