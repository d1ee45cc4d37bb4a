#include "window/AdvToolButton.h"

#include "markup/Bevel.h"
#include "markup/Gradient.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

// Every other pixel of the rectangle's edge, as a classic focus rectangle draws it.
void drawFocusMark(QPainter &painter, const QRect &edge, const QColor &color)
{
    const auto dot = [&](int x, int y) {
        if ((x + y) % 2 == 0)
            painter.fillRect(x, y, 1, 1, color);
    };
    for (int x = edge.left(); x <= edge.right(); ++x) {
        dot(x, edge.top());
        dot(x, edge.bottom());
    }
    for (int y = edge.top() + 1; y < edge.bottom(); ++y) {
        dot(edge.left(), y);
        dot(edge.right(), y);
    }
}

} // namespace

TAdvToolButton::TAdvToolButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_colors{qRgb(255, 255, 255), qRgb(0xC0, 0xC0, 0xC0), qRgb(0xF5, 0xF5, 0xF5),
               std::nullopt,        qRgb(0xA6, 0xCA, 0xF0), qRgb(0, 0, 0),
               qRgb(0, 0, 0),       qRgb(0, 0, 0)}
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
}

void TAdvToolButton::setCaption(const QString &caption)
{
    setText(caption);
    setShortcut(caption.isEmpty()
                    ? QKeySequence()
                    : QKeySequence(Qt::ALT | Qt::Key(caption.at(0).toUpper().unicode())));
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

QImage TAdvToolButton::render(Look look, qreal devicePixelRatio) const
{
    QImage image(size() * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
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
    // Filled, not stroked: a pen's line would be one device pixel thin at 2x.
    const QColor edge(border);
    painter.fillRect(QRect(0, 0, width(), 1), edge);
    painter.fillRect(QRect(0, height() - 1, width(), 1), edge);
    painter.fillRect(QRect(0, 0, 1, height()), edge);
    painter.fillRect(QRect(width() - 1, 0, 1, height()), edge);

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
    if (hasFocus())
        drawFocusMark(painter,
                      rect().adjusted(FocusInset, FocusInset, -FocusInset - 1, -FocusInset - 1),
                      palette().color(QPalette::Active, QPalette::ButtonText));
    return image;
}

void TAdvToolButton::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(0, 0, render(look(), devicePixelRatioF()));
}

bool TAdvToolButton::event(QEvent *event)
{
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave)
        update();
    return QAbstractButton::event(event);
}

void TAdvToolButton::keyPressEvent(QKeyEvent *event)
{
    // Space is QAbstractButton's already; Return presses a focused button too.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
