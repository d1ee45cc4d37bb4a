#include "window/Image.h"

#include "window/WindowAccessibility.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget *parent)
    : QWidget(parent)
{
    InstallWindowAccessibility();
}

void TImage::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

QPoint TImage::pictureOrigin() const
{
    // Integer division rounds toward zero: an odd overhang cuts one row more at the bottom.
    return {(width() - m_picture.width()) / 2, (height() - m_picture.height()) / 2};
}

void TImage::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(pictureOrigin(), m_picture);
}

void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
    QWidget::mouseReleaseEvent(event);
}
