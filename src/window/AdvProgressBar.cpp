#include "window/AdvProgressBar.h"

#include <QPainter>

TAdvProgressBar::TAdvProgressBar(QWidget *parent)
    : QWidget(parent)
{}

void TAdvProgressBar::SetPosition(qint32 value)
{
    m_position = qBound(Min(), value, qMax(Min(), m_max));
    update();
}

void TAdvProgressBar::SetMax(qint32 value)
{
    m_max = value;
    update();
}

void TAdvProgressBar::SetLevel0Color(const QColor &color)
{
    m_level0Color = color;
    update();
}

void TAdvProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
}
