#pragma once

#include <QList>
#include <QWidget>

// The window's status bar: fixed-width text panels, cut at the right edge.
class TStatusBar : public QWidget
{
    Q_OBJECT

public:
    struct Panel
    {
        int width;
        Qt::Alignment alignment;
        QString text;
    };

    explicit TStatusBar(QWidget *parent = nullptr);

    void addPanel(int width, Qt::Alignment alignment, const QString &text);
    qsizetype panelCount() const { return m_panels.size(); }
    QString panelText(qsizetype index) const { return m_panels.at(index).text; }
    // Plain text; panels that do not exist are left alone.
    void setPanelText(qsizetype index, const QString &text);
    // Area of a panel inside the bar, before cutting at the bar's edge; the last
    // panel reaches the right edge of a bar wider than the panels.
    QRect panelRect(qsizetype index) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<Panel> m_panels;
};
