#include "markup/MarkupAccessibility.h"

#include "markup/HTMLCheckBox.h"
#include "markup/HTMLComboBox.h"
#include "markup/HTMLabel.h"
#include "markup/MarkupLayout.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

namespace {

QString nameOr(const QWidget &widget, const QString &caption)
{
    return widget.accessibleName().isEmpty() ? MarkupLayout::plainTextOf(caption)
                                             : widget.accessibleName();
}

class CheckBoxAccessible final : public QAccessibleWidget
{
public:
    explicit CheckBoxAccessible(THTMLCheckBox *box)
        : QAccessibleWidget(box, QAccessible::CheckBox)
    {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? nameOr(*box(), box()->text()) : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = box()->isChecked();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action != toggleAction() && action != pressAction())
            QAccessibleWidget::doAction(action);
        else if (box()->isEnabled())
            box()->click();
    }

private:
    THTMLCheckBox *box() const { return static_cast<THTMLCheckBox *>(widget()); }
};

// The list's name comes from its label (Qt's buddy), its value from the item.
class ComboBoxAccessible final : public QAccessibleWidget
{
public:
    explicit ComboBoxAccessible(THTMLComboBox *list)
        : QAccessibleWidget(list, QAccessible::ComboBox)
    {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? MarkupLayout::plainTextOf(list()->currentText())
                                       : QAccessibleWidget::text(t);
    }
    // The open list, whose items carry their plain text too.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action != showMenuAction())
            QAccessibleWidget::doAction(action);
        else if (list()->view()->isVisible())
            list()->hidePopup();
        else if (list()->isEnabled())
            list()->showPopup();
    }

private:
    THTMLComboBox *list() const { return static_cast<THTMLComboBox *>(widget()); }
};

// A label with a caption is text; one without is a background.
class LabelAccessible final : public QAccessibleWidget
{
public:
    explicit LabelAccessible(THTMLabel *label)
        : QAccessibleWidget(label)
    {}

    QAccessible::Role role() const override
    {
        return label()->caption().isEmpty() ? QAccessible::Client : QAccessible::StaticText;
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? nameOr(*label(), label()->caption())
                                      : QAccessibleWidget::text(t);
    }

private:
    THTMLabel *label() const { return static_cast<THTMLabel *>(widget()); }
};

QAccessibleInterface *markupInterface(const QString &className, QObject *object)
{
    // What a factory makes belongs to Qt's cache of interfaces, which deletes
    // it with its widget.
    if (className == QLatin1String("THTMLCheckBox"))
        return new CheckBoxAccessible(static_cast<THTMLCheckBox *>(object));
    if (className == QLatin1String("THTMLComboBox"))
        return new ComboBoxAccessible(static_cast<THTMLComboBox *>(object));
    if (className == QLatin1String("THTMLabel"))
        return new LabelAccessible(static_cast<THTMLabel *>(object));
    return nullptr;
}

} // namespace

void InstallMarkupAccessibility()
{
    QAccessible::installFactory(markupInterface);
}
