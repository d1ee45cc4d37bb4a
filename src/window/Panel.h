#pragma once

#include <QWidget>

// A docked panel: a plain background and, when framed, a lowered outer and a
// raised inner bevel, so its content starts two pixels in from each edge.
class TPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int BevelInset = 2;

    TPanel(bool bevels, QWidget *parent = nullptr);
    void setBackground(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_bevels;
    QColor m_background;
};
