#pragma once
// The hidden print sheet of a curved port's longitudinal section, drawn at full size as a template for
// building the flare. It is never shown: every change of its width draws the section of the curved
// page on screen from the values the last computation kept, and offers it to the printer.

#include <QDialog>
#include <QImage>

class TF_Print : public QDialog {
    Q_OBJECT
public:
    // 96 pixels per inch over 25.4 mm per inch, rounded. Extended, as the rest of the arithmetic: the
    // double nearest 3.78 lies below it, and every exact half (75 mm · 3.78 = 283.5) would round down.
    static constexpr long double kPxPerMm = 3.78L;

    explicit TF_Print(QWidget* parent = nullptr);

    // The picture the section is drawn on (760 x 950, at 18, 18 of the sheet).
    const QImage& Image1() const { return m_image; }
    // What reaches the paper: the sheet's client area in the system's window colour (the white of an
    // editor's field, not the grey button face), with its picture.
    QImage sheetImage() const;

    // A hidden window gets no resize event, so the width is changed here and a real change runs the
    // resize handler at once.
    void setSheetWidth(int width);
    // The resize handler: every change of the width draws the section and offers it to the printer.
    void FormResize();
    // Draws the section of the curved port on screen and, when the user confirms the printer dialog,
    // prints the sheet.
    void PrintSection();

private:
    // The section of the curved port whose page is shown (the round one for any other page), from
    // the sizes the last computation kept and the page's current curve settings.
    void DrawSection();
    void draw(double L, double throat, double outlet, int func, int multiplier);
    QImage m_image;
};
