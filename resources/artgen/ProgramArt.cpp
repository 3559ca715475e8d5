#include "ProgramArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

const QColor kBoxColour(0x8C, 0x6A, 0x46);
const QColor kInk(0x26, 0x26, 0x26);

QImage blank(int w, int h, QColor fill = Qt::transparent)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

// An opaque ground shading from one colour at the top left corner to another at `end`.
QImage gradientGround(int w, int h, QPointF end, QColor from, QColor to)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient ground(QPointF(0, 0), end);
    ground.setColorAt(0.0, from);
    ground.setColorAt(1.0, to);
    p.fillRect(0, 0, w, h, ground);
    return image;
}

void woofer(QPainter& p, QPointF c, double r)
{
    p.setPen(QPen(QColor(0x1C, 0x1C, 0x1C), 1.2));
    p.setBrush(QColor(0x3A, 0x3A, 0x3A)); // basket ring
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(0x55, 0x55, 0x55)); // surround
    p.drawEllipse(c, r * 0.88, r * 0.88);
    QRadialGradient cone(c, r * 0.76, c - QPointF(r * 0.25, r * 0.25));
    cone.setColorAt(0.0, QColor(0x9A, 0x9A, 0x9A));
    cone.setColorAt(1.0, QColor(0x2E, 0x2E, 0x2E));
    p.setBrush(cone);
    p.drawEllipse(c, r * 0.76, r * 0.76);
    QRadialGradient cap(c, r * 0.26, c - QPointF(r * 0.08, r * 0.08));
    cap.setColorAt(0.0, QColor(0xE0, 0xE0, 0xE0));
    cap.setColorAt(1.0, QColor(0x50, 0x50, 0x50));
    p.setBrush(cap);
    p.drawEllipse(c, r * 0.26, r * 0.26);
}

void port(QPainter& p, QPointF c, double r)
{
    p.setPen(QPen(QColor(0x2A, 0x20, 0x14), 1.0));
    p.setBrush(QColor(0x5E, 0x46, 0x2C)); // rounded mouth
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(0x0E, 0x0E, 0x0E));
    p.drawEllipse(c, r * 0.7, r * 0.7);
}

QPainter& pen(QPainter& p, QColor c, double w)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    return p;
}

void sheet(QPainter& p, const QRectF& r)
{
    const double fold = 5;
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    pen(p, kInk, 1.0).setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(0xD8, 0xD8, 0xD8));
    const QPointF corner[3] = {{r.right() - fold, r.top()}, {r.right() - fold, r.top() + fold}, {r.right(), r.top() + fold}};
    p.drawPolygon(corner, 3);
}

// A sheet with a mark of two strokes over its lower corner: a plus for New, a cross for Delete.
void markedSheet(QPainter& p, const QRectF& page, QColor colour, double width, QLineF first, QLineF second)
{
    sheet(p, page);
    pen(p, colour, width);
    p.drawLine(first);
    p.drawLine(second);
}

// The dimensioned section of a port with rounded ends, the program's emblem on the splash and icon.
void emblem(QPainter& p, const QRectF& r, double wall)
{
    const double axis = r.center().y(), half = r.height() * 0.2, flare = r.height() * 0.28;
    QPainterPath top, bottom, air;
    auto wallAt = [&](double t) -> QPointF { // t from 0 (inlet) to 1 (outlet)
        const double x = r.left() + t * r.width();
        double y = half;
        const double fx = flare / r.width();
        if (t < fx) {
            const double u = (fx - t) / fx;
            y = half + flare * (1 - std::sqrt(std::max(0.0, 1 - u * u)));
        } else if (t > 1 - fx) {
            const double u = (t - (1 - fx)) / fx;
            y = half + flare * (1 - std::sqrt(std::max(0.0, 1 - u * u)));
        }
        return {x, y};
    };
    for (int i = 0; i <= 80; ++i) {
        const QPointF w = wallAt(i / 80.0);
        if (i == 0) {
            top.moveTo(w.x(), axis - w.y());
            bottom.moveTo(w.x(), axis + w.y());
            air.moveTo(w.x(), axis - w.y());
        } else {
            top.lineTo(w.x(), axis - w.y());
            bottom.lineTo(w.x(), axis + w.y());
            air.lineTo(w.x(), axis - w.y());
        }
    }
    for (int i = 80; i >= 0; --i) {
        const QPointF w = wallAt(i / 80.0);
        air.lineTo(w.x(), axis + w.y());
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xEA, 0xF2, 0xFB));
    p.drawPath(air);
    p.setPen(QPen(QColor(0xC0, 0x30, 0x30), std::max(1.0, wall / 3), Qt::DashDotLine));
    p.drawLine(QPointF(r.left() - wall * 2, axis), QPointF(r.right() + wall * 2, axis));
    p.setBrush(Qt::NoBrush);
    pen(p, QColor(0x30, 0x30, 0x30), wall);
    p.drawPath(top);
    p.drawPath(bottom);
}

} // namespace

QImage ProgramArt::box()
{
    QImage image = blank(kBoxWidth, kBoxHeight, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The cabinet: flat in its colour inside, so the patches match it exactly.
    p.setPen(QPen(QColor(0x4A, 0x36, 0x22), 2.0));
    p.setBrush(kBoxColour);
    p.drawRoundedRect(QRectF(3, 3, kBoxWidth - 6, kBoxHeight - 6), 4, 4);
    p.setPen(QPen(QColor(0xA8, 0x86, 0x60), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6, 6, kBoxWidth - 12, kBoxHeight - 12), 3, 3);

    const QPointF upper(60, 34), lower(60, 92);
    woofer(p, upper, 26);
    woofer(p, lower, 26);
    for (const QRect& patch : {QRect(20, 122, 20, 20), kSecondPortPatch, kThirdPortPatch})
        port(p, QRectF(patch).center(), 8);
    return image;
}

QImage ProgramArt::patch(const QRect& patch)
{
    QImage image = blank(patch.width(), patch.height(), kBoxColour);
    return image;
}

QImage ProgramArt::button(Button which)
{
    constexpr int n = kButtonSize;
    QImage image = blank(n, n);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case Button::New: {
        markedSheet(p, QRectF(4.5, 2.5, 11, 15), QColor(0x20, 0x90, 0x30), 2.0, QLineF(13, 11, 13, 18),
                    QLineF(9.5, 14.5, 16.5, 14.5));
        break;
    }
    case Button::Open: {
        pen(p, QColor(0x8A, 0x60, 0x10), 1.0).setBrush(QColor(0xE8, 0xB8, 0x40));
        QPainterPath back;
        back.moveTo(2.5, 5.5);
        back.lineTo(7.5, 5.5);
        back.lineTo(9, 7);
        back.lineTo(16.5, 7);
        back.lineTo(16.5, 16.5);
        back.lineTo(2.5, 16.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(0xF8, 0xD8, 0x70));
        const QPointF front[4] = {{5, 9.5}, {19, 9.5}, {16.5, 16.5}, {2.5, 16.5}};
        p.drawPolygon(front, 4);
        break;
    }
    case Button::Save: {
        pen(p, QColor(0x10, 0x24, 0x50), 1.0).setBrush(QColor(0x30, 0x5C, 0xB0));
        p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 1.5, 1.5);
        p.setBrush(QColor(0xF4, 0xF4, 0xF4));
        p.drawRect(QRectF(5.5, 2.5, 9, 6));
        p.setBrush(QColor(0x30, 0x5C, 0xB0));
        p.drawRect(QRectF(11, 3.5, 2, 4));
        p.setBrush(QColor(0xD0, 0xD8, 0xE8));
        p.drawRect(QRectF(5, 11.5, 10, 6));
        break;
    }
    case Button::Print: {
        sheet(p, QRectF(5.5, 1.5, 9, 7));
        pen(p, kInk, 1.0).setBrush(QColor(0xB8, 0xB8, 0xB8));
        p.drawRoundedRect(QRectF(1.5, 7.5, 17, 7), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 12.5, 9, 6));
        pen(p, QColor(0x80, 0x80, 0x80), 0.8);
        p.drawLine(QPointF(7, 15), QPointF(13, 15));
        p.drawLine(QPointF(7, 17), QPointF(12, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0xB0, 0x30));
        p.drawEllipse(QPointF(15.5, 10), 1, 1);
        break;
    }
    case Button::Delete: {
        markedSheet(p, QRectF(3.5, 2.5, 11, 15), QColor(0xD0, 0x20, 0x20), 2.4, QLineF(9, 9, 17, 17),
                    QLineF(17, 9, 9, 17));
        break;
    }
    case Button::Calc: {
        pen(p, kInk, 1.0).setBrush(QColor(0xC8, 0xC8, 0xC8));
        p.drawRoundedRect(QRectF(3.5, 1.5, 13, 17), 1.5, 1.5);
        p.setBrush(QColor(0xC8, 0xE8, 0xC0));
        p.drawRect(QRectF(5.5, 3.5, 9, 4));
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                p.setBrush(col == 2 && row == 2 ? QColor(0xD0, 0x50, 0x20) : QColor(0x50, 0x50, 0x50));
                p.drawRect(QRectF(5.5 + col * 3.3, 9.5 + row * 2.9, 2.3, 2));
            }
        break;
    }
    case Button::Recalc: {
        // A green "equals" in a round arrow: compute again.
        pen(p, QColor(0x20, 0x8A, 0x30), 2.0).setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 14, 14), 60 * 16, 290 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0x8A, 0x30));
        const QPointF head[3] = {{13.8, 1.0}, {15.8, 6.8}, {10.2, 5.6}};
        p.drawPolygon(head, 3);
        pen(p, kInk, 1.6);
        p.drawLine(QPointF(7.5, 8.5), QPointF(12.5, 8.5));
        p.drawLine(QPointF(7.5, 11.5), QPointF(12.5, 11.5));
        break;
    }
    }
    return image;
}

QImage ProgramArt::splash()
{
    constexpr int w = 400, h = 225;
    QImage image = gradientGround(w, h, QPointF(w, h), QColor(0xFF, 0xFF, 0xFF), QColor(0xD4, 0xE4, 0xF4));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drafting paper: a faint millimetre grid.
    for (int x = 0; x < w; x += 10) {
        p.setPen(QPen(QColor(0xC8, 0xD8, 0xEA), x % 50 == 0 ? 1.0 : 0.5));
        p.drawLine(x, 0, x, h);
    }
    for (int y = 0; y < h; y += 10) {
        p.setPen(QPen(QColor(0xC8, 0xD8, 0xEA), y % 50 == 0 ? 1.0 : 0.5));
        p.drawLine(0, y, w, y);
    }
    // A box in section: the woofer on the front, the port with rounded ends through the baffle.
    const QRectF cabinet(22, 30, 200, 160);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(0xF6, 0xF0, 0xE6));
    p.drawRect(cabinet);
    woofer(p, QPointF(100, 90), 42);
    emblem(p, QRectF(150, 134, 90, 46), 3.0);
    // Sound leaving the port.
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(0x3C, 0x78, 0xC8, 200 - i * 50), 2.0));
        const double r = 16 + i * 12;
        p.drawArc(QRectF(240 - r, 157 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }
    p.setPen(QPen(QColor(0x1E, 0x3C, 0x8C), 1.0));
    p.drawLine(262, 100, 380, 100);
    return image;
}

QImage ProgramArt::splashButton()
{
    QImage image = blank(75, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, 24);
    face.setColorAt(0.0, QColor(0x5A, 0x8C, 0xD8));
    face.setColorAt(1.0, QColor(0x1E, 0x4C, 0x9C));
    p.setPen(QPen(QColor(0x14, 0x30, 0x66), 1.0));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, 74, 23), 5, 5);
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 75, 24), Qt::AlignCenter, "OK");
    return image;
}

QImage ProgramArt::banner()
{
    constexpr int w = 291, h = 39;
    QImage image = gradientGround(w, h, QPointF(w, 0), QColor(0x14, 0x28, 0x50), QColor(0x2E, 0x5C, 0xA8));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    woofer(p, QPointF(20, 19.5), 15);
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(16);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(44, 2, w - 50, 20), Qt::AlignLeft | Qt::AlignVCenter, "Car Audio Forum");
    f.setBold(false);
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(QColor(0xC8, 0xDC, 0xFF));
    p.drawText(QRect(44, 21, w - 50, 16), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8("форум любителей автозвука"));
    p.setPen(QPen(QColor(0xFF, 0xC8, 0x40), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return image;
}

QImage ProgramArt::brands()
{
    constexpr int w = 218, h = 154;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A subwoofer box at an angle, seen from the front.
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    p.setBrush(QColor(0x40, 0x40, 0x44));
    const QPointF side[4] = {{170, 22}, {196, 8}, {196, 124}, {170, 140}};
    p.drawPolygon(side, 4);
    p.setBrush(QColor(0x58, 0x58, 0x5E));
    const QPointF lid[4] = {{22, 22}, {48, 8}, {196, 8}, {170, 22}};
    p.drawPolygon(lid, 4);
    p.setBrush(QColor(0x33, 0x33, 0x36));
    p.drawRect(QRectF(22, 22, 148, 118));
    woofer(p, QPointF(82, 81), 50);
    port(p, QPointF(150, 118), 10);
    return image;
}

QImage ProgramArt::angleSign()
{
    QImage image = blank(9, 13);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f("DejaVu Serif");
    f.setItalic(true);
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(0, -1, 9, 14), Qt::AlignCenter, QString(QChar(0x03B1)));
    return image;
}

QImage ProgramArt::icon(int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(QPen(QColor(0x1E, 0x3C, 0x8C), s / 32));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.14, s * 0.14);
    emblem(p, QRectF(s * 0.16, s * 0.2, s * 0.68, s * 0.6), std::max(1.5, s / 16));
    return image;
}
