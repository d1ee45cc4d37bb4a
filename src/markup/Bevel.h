#pragma once

#include <QColor>

class QPainter;
class QRect;

// One-pixel 3D frames of panels and labels.
enum class BevelKind
{
    None,
    Lowered, // shadow at the top and left, highlight at the bottom and right
    Raised,  // highlight at the top and left, shadow at the bottom and right
};

class Bevel
{
public:
    static QColor highlight() { return Qt::white; }
    static QColor shadow() { return QColor(0xA0, 0xA0, 0xA0); }

    // Draws a ring along the inside of `rect`; does nothing for BevelKind::None.
    static void draw(QPainter &painter, const QRect &rect, BevelKind kind);
    // Draws the outer then the inner ring; returns the area inside both.
    static QRect drawFrame(QPainter &painter, const QRect &rect, BevelKind outer, BevelKind inner);
    static int width(BevelKind outer, BevelKind inner);
};
