#include "window/WindowAccessibility.h"

#include "window/AdvProgressBar.h"
#include "window/Image.h"
#include "window/StatusBar.h"

#include <QAccessibleWidget>
#include <QPointer>

namespace {

class ProgressBarAccessible final : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit ProgressBarAccessible(TAdvProgressBar *bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar)
    {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(bar()->Percentage()) + QLatin1Char('%');
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return bar()->Position(); }
    void setCurrentValue(const QVariant &) override {} // the job alone moves it
    QVariant maximumValue() const override { return bar()->Max(); }
    QVariant minimumValue() const override { return bar()->Min(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    TAdvProgressBar *bar() const { return static_cast<TAdvProgressBar *>(widget()); }
};

// One text panel of the status bar; it has no object of its own.
class StatusPanelAccessible final : public QAccessibleInterface
{
public:
    StatusPanelAccessible(TStatusBar *bar, int index)
        : m_bar(bar)
        , m_index(index)
    {}

    bool isValid() const override { return m_bar && m_index < m_bar->panelCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_bar.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_bar->panelText(m_index).trimmed()
                                                   : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect area = m_bar->panelRect(m_index).intersected(m_bar->rect());
        return {m_bar->mapToGlobal(area.topLeft()), area.size()};
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !isValid() || !m_bar->isVisible();
        return s;
    }

private:
    QPointer<TStatusBar> m_bar;
    int m_index;
};

class StatusBarAccessible final : public QAccessibleWidget
{
public:
    explicit StatusBarAccessible(TStatusBar *bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar)
    {}
    ~StatusBarAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_panels))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(bar()->panelCount()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        // Made once, kept in Qt's cache under an id, deleted with the bar's interface.
        while (m_panels.size() <= index)
            m_panels.append(QAccessible::registerAccessibleInterface(
                new StatusPanelAccessible(bar(), int(m_panels.size()))));
        return QAccessible::accessibleInterface(m_panels.at(index));
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (qsizetype i = 0; i < m_panels.size(); ++i)
            if (QAccessible::accessibleInterface(m_panels.at(i)) == child)
                return int(i);
        return -1;
    }

private:
    TStatusBar *bar() const { return static_cast<TStatusBar *>(widget()); }

    mutable QList<QAccessible::Id> m_panels;
};

// The logo opens the product's web site.
class ImageAccessible final : public QAccessibleWidget
{
public:
    explicit ImageAccessible(TImage *image)
        : QAccessibleWidget(image, QAccessible::Link)
    {}

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<TImage *>(widget())->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *windowInterface(const QString &className, QObject *object)
{
    // What a factory makes belongs to Qt's cache of interfaces, which deletes
    // it with its widget.
    if (className == QLatin1String("TAdvProgressBar"))
        return new ProgressBarAccessible(static_cast<TAdvProgressBar *>(object));
    if (className == QLatin1String("TStatusBar"))
        return new StatusBarAccessible(static_cast<TStatusBar *>(object));
    if (className == QLatin1String("TImage"))
        return new ImageAccessible(static_cast<TImage *>(object));
    return nullptr;
}

} // namespace

void InstallWindowAccessibility()
{
    QAccessible::installFactory(windowInterface);
}
