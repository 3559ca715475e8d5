#pragma once
// Drafting on a painter: thin dimension lines with filled arrowheads and the dimension's letter, in one
// colour and one italic serif, as the port sections are labelled.

#include <QColor>
#include <QFontMetricsF>
#include <QPointF>
#include <QSizeF>
#include <QString>

class QPainter;

class Draft {
public:
    static inline const QColor kColour{0x1E, 0x3C, 0x8C};

    explicit Draft(QPainter& painter);

    void arrow(QPointF tip, QPointF dir);
    void thin(QPointF a, QPointF b);
    QSizeF size(const QString& text) const;
    // The letter with its box's centre at c, on a patch of `under` so a line behind it breaks cleanly.
    void letter(const QString& text, QPointF c, QColor under = Qt::transparent);
    // A size across the port between the two walls at x, the letter beside the line.
    void across(double x, double top, double bottom, const QString& text, bool letterRight);
    // A size along the port between x1 and x2, its line at y, the letter breaking the line.
    void along(double x1, double x2, double y, const QString& text);

private:
    QPainter& m_p;
    QFontMetricsF m_metrics;
};
