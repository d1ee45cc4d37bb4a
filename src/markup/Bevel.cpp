#include "markup/Bevel.h"

#include <QPainter>
#include <QRect>

void Bevel::draw(QPainter &painter, const QRect &rect, BevelKind kind)
{
    if (kind == BevelKind::None || rect.isEmpty())
        return;
    const QColor topLeft = kind == BevelKind::Lowered ? shadow() : highlight();
    const QColor bottomRight = kind == BevelKind::Lowered ? highlight() : shadow();
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}

int Bevel::width(BevelKind outer, BevelKind inner)
{
    return (outer == BevelKind::None ? 0 : 1) + (inner == BevelKind::None ? 0 : 1);
}

QRect Bevel::drawFrame(QPainter &painter, const QRect &rect, BevelKind outer, BevelKind inner)
{
    draw(painter, rect, outer);
    const QRect innerRect = outer == BevelKind::None ? rect : rect.adjusted(1, 1, -1, -1);
    draw(painter, innerRect, inner);
    return inner == BevelKind::None ? innerRect : innerRect.adjusted(1, 1, -1, -1);
}
