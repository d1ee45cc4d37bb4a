#include "window/Panel.h"

#include "markup/Bevel.h"

#include <QPainter>

TPanel::TPanel(bool bevels, QWidget *parent)
    : QWidget(parent)
    , m_bevels(bevels)
{}

void TPanel::setBackground(const QColor &color)
{
    m_background = color;
    update();
}

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(),
                     m_background.isValid() ? m_background : palette().color(QPalette::Window));
    if (m_bevels)
        Bevel::drawFrame(painter, rect(), BevelKind::Lowered, BevelKind::Raised);
}
