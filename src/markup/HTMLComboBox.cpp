#include "markup/HTMLComboBox.h"

#include "markup/MarkupAccessibility.h"
#include "markup/MarkupPainter.h"
#include "markup/MarkupWidgetFont.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QScreen>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

class MarkupItemDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const auto *widget = option.widget ? option.widget : qobject_cast<QWidget *>(parent());
        THTMLComboBox::drawItem(*painter, *widget, option.rect,
                                index.data(Qt::DisplayRole).toString(),
                                option.state.testFlag(QStyle::State_Selected));
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const MarkupFont font = markupFontOf(*qobject_cast<QWidget *>(parent()));
        const QSize text =
            MarkupLayout::build(index.data(Qt::DisplayRole).toString(), font,
                                QSize(THTMLComboBox::DropDownWidth, 1000), MarkupPainter())
                .size;
        return {qMax(option.rect.width(), text.width()), text.height() + 2};
    }
};

} // namespace

THTMLComboBox::THTMLComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    setItemDelegate(new MarkupItemDelegate(this));
    setMaxVisibleItems(12);
    InstallMarkupAccessibility();
    // The open list's items are read by their plain text, not their markup.
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                for (int i = first; i <= last; ++i)
                    setItemData(i, MarkupLayout::plainTextOf(itemText(i)), Qt::AccessibleTextRole);
            });
}

void THTMLComboBox::drawItem(QPainter &painter, const QWidget &widget, const QRect &rect,
                             const QString &markup, bool selected)
{
    const QPalette &palette = widget.palette();
    painter.save();
    painter.fillRect(rect, palette.color(selected ? QPalette::Highlight : QPalette::Base));
    const QColor textColor = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QSize area(rect.width() - ItemIndent, rect.height());
    const MarkupLayout layout = MarkupLayout::build(markup, markupFontOf(widget, textColor), area,
                                                    MarkupPainter(), selected);
    // One line, centred in the item's height.
    const int top = rect.top() + qMax(0, (rect.height() - layout.size.height()) / 2);
    painter.setClipRect(rect);
    MarkupPainter::draw(painter, layout, QPoint(rect.left() + ItemIndent, top));
    painter.restore();
}

QRect THTMLComboBox::dropDownRect(const QRect &field, const QRect &screen)
{
    QRect list(field.bottomLeft() + QPoint(0, 1), DropDownSize());
    // Where the screen ends below the field, the list opens above it instead.
    if (list.bottom() > screen.bottom() && field.top() - DropDownHeight >= screen.top())
        list.moveBottom(field.top() - 1);
    if (list.right() > screen.right())
        list.moveRight(screen.right());
    if (list.left() < screen.left())
        list.moveLeft(screen.left());
    return list;
}

void THTMLComboBox::showPopup()
{
    QComboBox::showPopup();
    // Qt sizes the list by the raw item texts, tags included, and its style
    // lays the list over the field. The list has its own size and drops down.
    const QRect field(mapToGlobal(QPoint(0, 0)), size());
    const QScreen *shown = screen();
    const QRect area = shown ? shown->availableGeometry() : QRect();
    view()->window()->setGeometry(area.isEmpty()
                                      ? QRect(field.bottomLeft() + QPoint(0, 1), DropDownSize())
                                      : dropDownRect(field, area));
    view()->scrollToTop();
}

void THTMLComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = {};
    painter.drawComplexControl(QStyle::CC_ComboBox, option);

    if (currentIndex() < 0)
        return;
    QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    field.setTop(field.top() + (field.height() - EditHeight) / 2);
    field.setHeight(EditHeight);
    drawItem(painter, *this, field, currentText(), hasFocus());
}
