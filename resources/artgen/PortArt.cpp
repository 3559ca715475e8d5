#include "PortArt.h"

#include "Draft.h"

#include "core/Shapes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// The six outlines; a round shape and its slot counterpart share one (the slot's is its width plane).
enum class Kind { Tube, Cone, TubeCone, ConeTubeCone, Curve, Flared };

Kind kindOf(int type)
{
    switch (type) {
    case 0: case 4: return Kind::Tube;
    case 1: case 5: return Kind::Cone;
    case 2: case 6: return Kind::TubeCone;
    case 3: case 7: return Kind::ConeTubeCone;
    case 8: case 9: return Kind::Curve;
    default: return Kind::Flared;
    }
}

const QColor kAir(0xEA, 0xF2, 0xFB);
const QColor kWall(0x30, 0x30, 0x30);
const QColor kAxis(0xC0, 0x30, 0x30);
const QColor kDimension = Draft::kColour;

// The upper wall of a port as (x, half width) points from the inlet at the left to the outlet at the
// right, with the places its dimensions refer to.
struct Profile {
    std::vector<QPointF> wall;
    double left = 0, right = 0; // x of the two mouths
    double throatX = 0;         // where the narrow size is measured
    double throatR = 0;
    double outletR = 0;         // half width at the right mouth
    bool throatInside = false;  // the narrow size is measured inside the port, not at the left mouth
    bool hasOutlet = true;      // the outlet size has a letter of its own
    bool angle = false;         // a cone or wedge whose wall angle is marked at angleAt
    QPointF angleAt;            // (x, half width) where the flared part starts
    double angleDir = 0;        // its wall slope, half width per unit of length
    bool part = false;          // a flared part whose length l is marked
    double partFrom = 0, partTo = 0;
    double lengthFrom = 0, lengthTo = 0; // what L measures
    double flareLeft = 0, flareRight = 0; // rounding radii, 0 for none
    double straightR = 0;
};

double radiusAt(const Profile& p, double x)
{
    const auto& w = p.wall;
    if (x <= w.front().x())
        return w.front().y();
    for (size_t i = 1; i < w.size(); ++i) {
        if (x <= w[i].x()) {
            const double t = (x - w[i - 1].x()) / (w[i].x() - w[i - 1].x());
            return w[i - 1].y() + t * (w[i].y() - w[i - 1].y());
        }
    }
    return w.back().y();
}

// The cone or wedge that ends at the outlet: its wall angle is marked where it starts, and l runs from
// there to the outlet.
void flareToOutlet(Profile& p, QPointF start, double xb, double r1)
{
    p.angle = true;
    p.angleAt = start;
    p.angleDir = (r1 - start.y()) / (xb - start.x());
    p.part = true;
    p.partFrom = start.x();
    p.partTo = xb;
}

Profile makeProfile(Kind kind, double xa, double xb, double big)
{
    Profile p;
    p.left = xa;
    p.right = xb;
    p.lengthFrom = xa;
    p.lengthTo = xb;
    const double len = xb - xa;
    switch (kind) {
    case Kind::Tube: {
        const double r = 0.55 * big;
        p.wall = {{xa, r}, {xb, r}};
        p.throatX = xa;
        p.throatR = p.outletR = r;
        p.hasOutlet = false;
        break;
    }
    case Kind::Cone: {
        const double r0 = 0.36 * big, r1 = 0.95 * big;
        p.wall = {{xa, r0}, {xb, r1}};
        p.throatX = xa;
        p.throatR = r0;
        p.outletR = r1;
        p.angle = true;
        p.angleAt = {xa, r0};
        p.angleDir = (r1 - r0) / len;
        break;
    }
    case Kind::TubeCone: {
        const double r0 = 0.38 * big, r1 = 0.95 * big, s = xa + 0.42 * len;
        p.wall = {{xa, r0}, {s, r0}, {xb, r1}};
        p.throatX = xa;
        p.throatR = r0;
        p.outletR = r1;
        flareToOutlet(p, {s, r0}, xb, r1);
        break;
    }
    case Kind::ConeTubeCone: {
        const double r0 = 0.36 * big, r1 = 0.92 * big, c = 0.3 * len;
        p.wall = {{xa, r1}, {xa + c, r0}, {xb - c, r0}, {xb, r1}};
        p.throatX = xa + len / 2;
        p.throatR = r0;
        p.throatInside = true;
        p.outletR = r1;
        flareToOutlet(p, {xb - c, r0}, xb, r1);
        break;
    }
    case Kind::Curve: {
        // A hyperbolic-cosine wall, narrowest in the middle, as the curved ports are built.
        const double rt = 0.32 * big, ro = 0.95 * big, a = 2.4;
        for (int i = 0; i <= 60; ++i) {
            const double u = -1.0 + 2.0 * i / 60.0;
            const double r = rt + (ro - rt) * (std::cosh(a * u) - 1.0) / (std::cosh(a) - 1.0);
            p.wall.push_back({xa + (u + 1.0) / 2.0 * len, r});
        }
        p.throatX = xa + len / 2;
        p.throatR = rt;
        p.throatInside = true;
        p.outletR = ro;
        break;
    }
    case Kind::Flared: {
        // A straight part between two quarter-circle roundings: r2 at the inlet, r1 at the outlet.
        const double r = 0.4 * big, r1 = 0.42 * big, r2 = 0.3 * big;
        for (int i = 0; i <= 20; ++i) { // inlet rounding, from the vertical mouth to the straight part
            const double t = M_PI / 2 * i / 20.0;
            p.wall.push_back({xa + r2 - r2 * std::cos(t), r + r2 - r2 * std::sin(t)});
        }
        for (int i = 0; i <= 20; ++i) { // outlet rounding
            const double t = M_PI / 2 * i / 20.0;
            p.wall.push_back({xb - r1 + r1 * std::sin(t), r + r1 - r1 * std::cos(t)});
        }
        p.throatX = xa + r2 + (xb - r1 - xa - r2) / 2;
        p.throatR = r;
        p.throatInside = true;
        p.hasOutlet = false;
        p.outletR = r + r1;
        p.lengthFrom = xa + r2;
        p.lengthTo = xb - r1;
        p.flareLeft = r2;
        p.flareRight = r1;
        p.straightR = r;
        break;
    }
    }
    return p;
}

QPainterPath airPath(const Profile& p, double axis)
{
    QPainterPath path;
    path.moveTo(p.wall.front().x(), axis - p.wall.front().y());
    for (const QPointF& pt : p.wall)
        path.lineTo(pt.x(), axis - pt.y());
    for (auto it = p.wall.rbegin(); it != p.wall.rend(); ++it)
        path.lineTo(it->x(), axis + it->y());
    path.closeSubpath();
    return path;
}

QPainterPath wallPath(const Profile& p, double axis, int side)
{
    QPainterPath path;
    path.moveTo(p.wall.front().x(), axis + side * p.wall.front().y());
    for (const QPointF& pt : p.wall)
        path.lineTo(pt.x(), axis + side * pt.y());
    return path;
}

// Letters by section: round ports name diameters, slots name widths.
QString narrowLetter(const PortArt::Shape& s, Kind k)
{
    if (k == Kind::Tube)
        return s.slot ? "W" : "D";
    return s.slot ? "w" : "d";
}

QString wideLetter(const PortArt::Shape& s)
{
    return s.slot ? "W" : "D";
}

void drawSection(QPainter& painter, const PortArt::Shape& s, const QRectF& area)
{
    const Kind kind = kindOf(s.type);
    const double hs = area.height();
    const double top = area.top();
    const double axis = top + (hs - 28) / 2 + 1;
    const double big = (hs - 28) / 2 - 6;
    // Room beside the mouths for the sizes measured there and their letters.
    const bool sizeAtInlet = kind == Kind::Tube || kind == Kind::Cone || kind == Kind::TubeCone;
    const bool sizeAtOutlet = kind != Kind::Tube && kind != Kind::Flared;
    const double xa = area.left() + (sizeAtInlet ? 32 : 20), xb = area.right() - (sizeAtOutlet ? 32 : 20);
    const Profile p = makeProfile(kind, xa, xb, big);
    const double lineL = top + hs - 9, lineL1 = top + hs - 23;

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAir);
    painter.drawPath(airPath(p, axis));

    // The port's axis, a little beyond both mouths.
    painter.setPen(QPen(kAxis, 1.0, Qt::DashDotLine));
    painter.drawLine(QPointF(xa - 8, axis), QPointF(xb + 8, axis));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kWall, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(wallPath(p, axis, -1));
    painter.drawPath(wallPath(p, axis, 1));

    Draft d(painter);
    // The narrow size: at the inlet mouth, or inside the port at its narrowest.
    if (p.throatInside) {
        d.across(p.throatX, axis - p.throatR, axis + p.throatR, narrowLetter(s, kind), true);
    } else {
        const double x = xa - 10;
        d.thin({xa - 3, axis - p.throatR}, {x - 4, axis - p.throatR});
        d.thin({xa - 3, axis + p.throatR}, {x - 4, axis + p.throatR});
        d.across(x, axis - p.throatR, axis + p.throatR, narrowLetter(s, kind), false);
    }
    if (p.hasOutlet) {
        const double x = xb + 10;
        d.thin({xb + 3, axis - p.outletR}, {x + 4, axis - p.outletR});
        d.thin({xb + 3, axis + p.outletR}, {x + 4, axis + p.outletR});
        d.across(x, axis - p.outletR, axis + p.outletR, wideLetter(s), true);
    }

    // Lengths below the port, with extension lines down from the lower wall.
    auto extension = [&](double x, double to) {
        d.thin({x, axis + radiusAt(p, x) + 3}, {x, to + 4});
    };
    extension(p.lengthFrom, lineL);
    extension(p.lengthTo, lineL);
    d.along(p.lengthFrom, p.lengthTo, lineL, "L");
    if (p.part) {
        extension(p.partFrom, lineL1);
        d.along(p.partFrom, p.partTo, lineL1, "l");
    }

    // The wall angle: between a line parallel to the axis and the flared wall, at the upper wall.
    if (p.angle) {
        const QPointF v(p.angleAt.x(), axis - p.angleAt.y());
        const double theta = std::atan(p.angleDir);
        const double reach = 28;
        painter.setPen(QPen(kDimension, 1.0, Qt::DashLine));
        painter.drawLine(v, v + QPointF(reach, 0));
        painter.setPen(QPen(kDimension, 1.0));
        const double arcR = 19;
        painter.drawArc(QRectF(v.x() - arcR, v.y() - arcR, 2 * arcR, 2 * arcR), 0,
                        int(theta * 180 / M_PI * 16));
        // The wedge between the two lines is only a few pixels wide here: the letter stands just above
        // the wall where the arc meets it.
        const QSizeF sz = d.size(QString(QChar(0x03B1)));
        d.letter(QString(QChar(0x03B1)),
                 v + QPointF(arcR * std::cos(theta) + sz.width() / 2 - 1, -arcR * std::sin(theta) - sz.height() / 2 + 1));
    }

    // Rounding radii: from each rounding's centre to its arc, under the upper wall's mouths.
    if (p.flareRight > 0) {
        const auto radius = [&](double cx, double rho, double dirX, const QString& text) {
            const QPointF c(cx, axis - p.straightR - rho);
            const QPointF onArc = c + QPointF(dirX * rho * std::sqrt(0.5), rho * std::sqrt(0.5));
            d.thin(c, onArc);
            d.arrow(onArc, onArc - c);
            painter.setPen(Qt::NoPen);
            painter.setBrush(kDimension);
            painter.drawEllipse(c, 1.3, 1.3);
            const QSizeF sz = d.size(text);
            // Beside the centre, towards the middle of the port, clear of the picture's top edge.
            d.letter(text, c + QPointF(-dirX * (sz.width() / 2 + 3), 1));
        };
        radius(xb - p.flareRight, p.flareRight, 1, "r1");
        radius(xa + p.flareLeft, p.flareLeft, -1, "r2");
    }
}

// The slot seen from its outlet: the mouth (and, dashed, the narrower throat) with the height h.
void drawEndView(QPainter& painter, const PortArt::Shape& s, const QRectF& area)
{
    const Kind kind = kindOf(s.type);
    // The same outline as the section above it (whose height is this area's top), so the mouth drawn
    // here is as wide as the section's outlet.
    const Profile p = makeProfile(kind, 0, 100, (area.top() - 28) / 2 - 6);
    const double height = 22;
    const double cx = area.left() + area.width() / 2 - 8;
    const double y0 = area.top() + 12;
    const double outer = 2 * p.outletR;
    const double inner = 2 * (kind == Kind::Flared ? p.straightR : p.throatR);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAir);
    painter.drawRect(QRectF(cx - outer / 2, y0, outer, height));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kWall, 2.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(QRectF(cx - outer / 2, y0, outer, height));
    if (inner < outer - 1) {
        painter.setPen(QPen(kWall, 1.0, Qt::DashLine));
        painter.drawRect(QRectF(cx - inner / 2, y0, inner, height));
    }
    painter.setPen(QPen(kAxis, 1.0, Qt::DashDotLine));
    painter.drawLine(QPointF(cx, y0 - 5), QPointF(cx, y0 + height + 5));

    Draft d(painter);
    const double x = cx + outer / 2 + 10;
    d.thin({cx + outer / 2 + 3, y0}, {x + 4, y0});
    d.thin({cx + outer / 2 + 3, y0 + height}, {x + 4, y0 + height});
    d.across(x, y0, y0 + height, "h", true);
}

} // namespace

const std::vector<PortArt::Shape>& PortArt::shapes()
{
    // The shapes' names and rectangles of the sprite sheet are the program's own (round shapes in the
    // top row, slots from y = 123); the slots' glyphs are taller.
    static const std::vector<Shape> table = [] {
        std::vector<Shape> shapes;
        for (const vx::ShapeRow& row : vx::kShapes) {
            const bool slot = row.section == vx::Slot_Section;
            const vx::SpriteRect& r = row.sprite;
            const QString name = QString::fromLatin1(row.name.data(), static_cast<qsizetype>(row.name.size()));
            shapes.push_back({row.type, name, QRect(r.left, r.top, r.width, r.height), slot, slot ? 19 : 16});
        }
        return shapes;
    }();
    return table;
}

QImage PortArt::section(const Shape& shape)
{
    QImage image(shape.source.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const double w = shape.source.width(), h = shape.source.height();
    constexpr double kEndView = 52; // the slots' outlet view below their section
    if (shape.slot) {
        drawSection(painter, shape, QRectF(0, 0, w, h - kEndView));
        drawEndView(painter, shape, QRectF(0, h - kEndView, w, kEndView));
    } else {
        drawSection(painter, shape, QRectF(0, 0, w, h));
    }
    return image;
}

QImage PortArt::spriteSheet()
{
    QImage sheet(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (const Shape& s : shapes())
        painter.drawImage(s.source.topLeft(), section(s));
    return sheet;
}

QImage PortArt::glyph(const Shape& shape, QColor background)
{
    const int h = shape.glyphHeight;
    QImage image(kGlyphWidth, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double axis = h / 2.0;
    const Profile p = makeProfile(kindOf(shape.type), 1.5, kGlyphWidth - 1.5, h / 2.0 - 1.2);

    // Round ports shaded as a cylinder, slots flat with the lit top face of a box.
    if (shape.slot) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x5A, 0x8C, 0xC8));
        painter.drawPath(airPath(p, axis));
        painter.setPen(QPen(QColor(0xD6, 0xE6, 0xF6), 1.0));
        painter.drawLine(QPointF(2.5, axis), QPointF(kGlyphWidth - 2.5, axis));
    } else {
        QLinearGradient shade(0, 0, 0, h);
        shade.setColorAt(0.0, QColor(0x2C, 0x5A, 0x9A));
        shade.setColorAt(0.45, QColor(0xCC, 0xE0, 0xF6));
        shade.setColorAt(1.0, QColor(0x2C, 0x5A, 0x9A));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawPath(airPath(p, axis));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x1A, 0x1A, 0x1A), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(wallPath(p, axis, -1));
    painter.drawPath(wallPath(p, axis, 1));
    painter.end();
    return image;
}
