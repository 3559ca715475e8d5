#pragma once
// The program's other pictures: the box sketch with its patches, the command-button pictures, the
// splash picture and its button, the forum banner, the brands picture, the angle sign and the icon.

#include <QImage>
#include <QRect>

class ProgramArt {
public:
    // The box sketch and where its three patches lie on it (in the sketch's own pixels).
    static constexpr int kBoxWidth = 120;
    static constexpr int kBoxHeight = 150;
    static constexpr QRect kWooferPatch{31, 63, 58, 58};  // over the lower woofer
    static constexpr QRect kSecondPortPatch{50, 122, 20, 20}; // over the middle port
    static constexpr QRect kThirdPortPatch{80, 122, 20, 20};  // over the right port

    static QImage box();
    // A patch in the colour of the box, the size of `patch`.
    static QImage patch(const QRect& patch);

    enum class Button { New, Open, Save, Print, Delete, Calc, Recalc };
    static constexpr int kButtonSize = 20;
    static QImage button(Button which);

    static QImage splash();        // 400 x 225
    static QImage splashButton();  // 75 x 24
    static QImage banner();        // 291 x 39
    static QImage brands();        // 218 x 154
    static QImage angleSign();     // the α before an angle editor's unit
    static QImage icon(int size);
};
