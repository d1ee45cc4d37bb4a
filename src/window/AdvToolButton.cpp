#include "window/AdvToolButton.h"

#include "markup/Bevel.h"
#include "markup/Gradient.h"

#include <QEvent>
#include <QPainter>

TAdvToolButton::TAdvToolButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_colors{qRgb(255, 255, 255), qRgb(0xC0, 0xC0, 0xC0), qRgb(0xF5, 0xF5, 0xF5),
               std::nullopt,        qRgb(0xA6, 0xCA, 0xF0), qRgb(0, 0, 0),
               qRgb(0, 0, 0),       qRgb(0, 0, 0)}
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void TAdvToolButton::setColors(const Colors &colors)
{
    m_colors = colors;
    update();
}

TAdvToolButton::Look TAdvToolButton::look() const
{
    if (!isEnabled())
        return Look::Normal;
    if (isDown())
        return Look::Down;
    return underMouse() ? Look::Hot : Look::Normal;
}

QImage TAdvToolButton::render(Look look) const
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    QRgb border = m_colors.BorderColor;
    const auto fill = [&](QRgb from, std::optional<QRgb> to) {
        if (to)
            Gradient::paint(painter, rect(), Gradient::buttonBands(height(), from, *to));
        else
            painter.fillRect(rect(), QColor(from));
    };
    switch (look) {
    case Look::Normal:
        fill(m_colors.Color, m_colors.ColorTo);
        break;
    case Look::Hot:
        fill(m_colors.ColorHot, m_colors.ColorHotTo);
        border = m_colors.BorderHotColor;
        break;
    case Look::Down:
        painter.fillRect(rect(), QColor(m_colors.ColorDown));
        border = m_colors.BorderDownColor;
        break;
    }
    painter.setPen(QColor(border));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    painter.setFont(font());
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(rect(), flags, text());
    } else {
        painter.setPen(Bevel::highlight());
        painter.drawText(rect().translated(1, 1), flags, text());
        painter.setPen(Bevel::shadow());
        painter.drawText(rect(), flags, text());
    }
    return image;
}

void TAdvToolButton::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(0, 0, render(look()));
}

bool TAdvToolButton::event(QEvent *event)
{
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave)
        update();
    return QAbstractButton::event(event);
}
