#include "window/StatusBar.h"

#include "markup/Bevel.h"
#include "window/WindowAccessibility.h"

#include <QAccessible>
#include <QPainter>

namespace {
constexpr int PanelGap = 2; // between neighbouring panels
constexpr int TextPadding = 2;
} // namespace

TStatusBar::TStatusBar(QWidget *parent)
    : QWidget(parent)
{
    InstallWindowAccessibility();
}

void TStatusBar::addPanel(int width, Qt::Alignment alignment, const QString &text)
{
    m_panels.append({width, alignment, text});
    update();
}

void TStatusBar::setPanelText(qsizetype index, const QString &text)
{
    // Transfers set the same text for every piece received: drawing it again
    // would repaint the bar and the window behind it thousands of times a second.
    if (index < 0 || index >= m_panels.size() || m_panels.at(index).text == text)
        return;
    m_panels[index].text = text;
    update(panelRect(index));
    // A screen reader hears the new status.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    changed.setChild(int(index));
    QAccessible::updateAccessibility(&changed);
}

QRect TStatusBar::panelRect(qsizetype index) const
{
    int left = 0;
    for (qsizetype i = 0; i < index; ++i)
        left += m_panels.at(i).width;
    int panelWidth = m_panels.at(index).width;
    // The last panel reaches the right edge of a wider bar; a narrower one cuts it.
    if (index == m_panels.size() - 1)
        panelWidth = qMax(panelWidth, width() - left);
    return {left, PanelGap, panelWidth - PanelGap, height() - PanelGap};
}

void TStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    for (qsizetype i = 0; i < m_panels.size(); ++i) {
        const QRect area = panelRect(i);
        Bevel::draw(painter, area, BevelKind::Lowered);
        painter.drawText(area.adjusted(TextPadding, 1, -TextPadding, -1),
                         int(m_panels.at(i).alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                         m_panels.at(i).text);
    }
}
