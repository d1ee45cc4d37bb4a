#include "markup/HTMLCheckBox.h"

#include "markup/MarkupAccessibility.h"
#include "markup/MarkupPainter.h"
#include "markup/MarkupWidgetFont.h"

#include <QPainter>
#include <QStyleOptionButton>

THTMLCheckBox::THTMLCheckBox(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    // A click or Tab focuses the box; Space then toggles it.
    setFocusPolicy(Qt::StrongFocus);
    InstallMarkupAccessibility();
}

QSize THTMLCheckBox::captionSize() const
{
    const QSize area(width() - CaptionOrigin.x(), height() - CaptionOrigin.y());
    return MarkupLayout::build(text(), markupFontOf(*this), area, MarkupPainter()).size;
}

QRect THTMLCheckBox::focusRect() const
{
    const QSize caption = captionSize();
    return {CaptionOrigin, QSize(caption.width() + 4, caption.height() + 2)};
}

void THTMLCheckBox::drawCaption(QPainter &painter, QPoint origin, QColor color) const
{
    const QSize area(width() - CaptionOrigin.x(), height() - CaptionOrigin.y());
    const MarkupLayout layout =
        MarkupLayout::build(text(), markupFontOf(*this, color), area, MarkupPainter());
    MarkupPainter::draw(painter, layout, origin);
}

void THTMLCheckBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionButton box;
    box.initFrom(this);
    box.rect = BoxRect;
    box.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    box.state |= isChecked() ? QStyle::State_On : QStyle::State_Off;
    if (isDown())
        box.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &painter, this);

    if (isEnabled()) {
        drawCaption(painter, CaptionOrigin, palette().color(QPalette::WindowText));
    } else {
        // Engraved: a white copy one pixel down and right, then grey in place.
        drawCaption(painter, CaptionOrigin + QPoint(1, 1), Qt::white);
        drawCaption(painter, CaptionOrigin, QColor(DisabledColor));
    }

    if (hasFocus()) {
        const QRect frame = focusRect();
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
}
