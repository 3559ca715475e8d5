#include "Draft.h"

#include <QFont>
#include <QPainter>

#include <cmath>

namespace {

QFont letterFont()
{
    QFont f("DejaVu Serif");
    f.setItalic(true);
    f.setPixelSize(13);
    return f;
}

} // namespace

Draft::Draft(QPainter& painter)
    : m_p(painter)
    , m_metrics(letterFont())
{
    m_p.setFont(letterFont());
}

void Draft::arrow(QPointF tip, QPointF dir)
{
    const double n = std::hypot(dir.x(), dir.y());
    const QPointF u(dir.x() / n, dir.y() / n), v(-u.y(), u.x());
    const QPointF base = tip - u * 6.0;
    const QPointF pts[3] = {tip, base + v * 2.5, base - v * 2.5};
    m_p.setPen(Qt::NoPen);
    m_p.setBrush(kColour);
    m_p.drawPolygon(pts, 3);
}

void Draft::thin(QPointF a, QPointF b)
{
    m_p.setPen(QPen(kColour, 1.0));
    m_p.drawLine(a, b);
}

QSizeF Draft::size(const QString& text) const
{
    return {m_metrics.horizontalAdvance(text), m_metrics.height()};
}

void Draft::letter(const QString& text, QPointF c, QColor under)
{
    const QSizeF s = size(text);
    const QRectF box(c.x() - s.width() / 2 - 1, c.y() - s.height() / 2, s.width() + 2, s.height());
    if (under.alpha() > 0)
        m_p.fillRect(box, under);
    m_p.setPen(kColour);
    m_p.drawText(box, Qt::AlignCenter, text);
}

void Draft::across(double x, double top, double bottom, const QString& text, bool letterRight)
{
    thin({x, top + 1}, {x, bottom - 1});
    arrow({x, top}, {0, -1});
    arrow({x, bottom}, {0, 1});
    const QSizeF s = size(text);
    const double cx = letterRight ? x + 3 + s.width() / 2 : x - 3 - s.width() / 2;
    letter(text, {cx, (top + bottom) / 2 - s.height() / 2 - 1});
}

void Draft::along(double x1, double x2, double y, const QString& text)
{
    thin({x1 + 1, y}, {x2 - 1, y});
    arrow({x1, y}, {-1, 0});
    arrow({x2, y}, {1, 0});
    letter(text, {(x1 + x2) / 2, y - 0.5}, Qt::white);
}
