#pragma once
// The face every window is laid out for: pixel layouts at 96 dpi made with the 8-point "MS Sans Serif"
// (height -11). Where that face is missing the system's sans-serif stands in, in its condensed cut, which
// comes closest to the widths the layouts were made for.

#include <QFont>

namespace vx {

inline QFont windowFont(int pixels = 11, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace vx
