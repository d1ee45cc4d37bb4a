#include "markup/HTMLabel.h"

#include "markup/Gradient.h"
#include "markup/MarkupAccessibility.h"
#include "markup/MarkupPainter.h"
#include "markup/MarkupWidgetFont.h"

#include <QEvent>
#include <QPainter>

THTMLabel::THTMLabel(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    InstallMarkupAccessibility();
}

void THTMLabel::setColor(QRgb color)
{
    m_color = color;
    redraw();
}

void THTMLabel::setColorTo(QRgb color)
{
    m_colorTo = color;
    m_hasColorTo = true;
    redraw();
}

void THTMLabel::setCaption(const QString &markup)
{
    m_caption = markup;
    redraw();
}

void THTMLabel::setVAlignment(VAlignment alignment)
{
    m_vAlignment = alignment;
    redraw();
}

void THTMLabel::setBevels(BevelKind outer, BevelKind inner)
{
    m_outer = outer;
    m_inner = inner;
    redraw();
}

QRect THTMLabel::textRect() const
{
    const int inset = Bevel::width(m_outer, m_inner);
    return rect().adjusted(inset, inset, -inset, -inset);
}

QPoint THTMLabel::captionOrigin() const
{
    QRect text = textRect();
    if (m_vAlignment == tvaCenter && !m_caption.isEmpty()) {
        const MarkupLayout measured =
            MarkupLayout::build(m_caption, markupFontOf(*this), text.size(), MarkupPainter());
        text.setTop(text.top() + (height() - measured.size.height()) / 2);
    }
    return text.topLeft();
}

QImage THTMLabel::render(qreal devicePixelRatio) const
{
    QImage image(size() * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    if (m_hasColorTo)
        Gradient::paint(painter, rect(),
                        Gradient::labelBands(width(), height(), m_color, m_colorTo));
    else
        painter.fillRect(rect(), QColor(m_color));
    Bevel::drawFrame(painter, rect(), m_outer, m_inner);
    if (!m_caption.isEmpty()) {
        const QPoint origin = captionOrigin();
        const QRect text = textRect();
        const QSize available(text.width(), text.bottom() + 1 - origin.y());
        const MarkupLayout layout =
            MarkupLayout::build(m_caption, markupFontOf(*this), available, MarkupPainter());
        MarkupPainter::draw(painter, layout, origin);
    }
    return image;
}

void THTMLabel::redraw()
{
    m_picture = QImage();
    update();
}

void THTMLabel::paintEvent(QPaintEvent *)
{
    // A label under a status text that changes with every piece of a transfer
    // is painted thousands of times a second: draw the picture once, copy it
    // for each paint, and draw it again only when the label itself changes.
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.deviceIndependentSize() != QSizeF(size()) ||
        m_picture.devicePixelRatio() != ratio)
        m_picture = render(ratio);
    QPainter(this).drawImage(0, 0, m_picture);
}

void THTMLabel::changeEvent(QEvent *event)
{
    // The caption is drawn with the widget's font and its palette's text colour
    // for the current state.
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
    case QEvent::StyleChange:
        m_picture = QImage();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}
