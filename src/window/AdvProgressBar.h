#pragma once

#include <QColor>
#include <QWidget>

// The window's progress bar: a rounded outline, a plain fill in the phase
// colour and the percentage in the middle.
class TAdvProgressBar : public QWidget
{
    Q_OBJECT

public:
    explicit TAdvProgressBar(QWidget *parent = nullptr);

    qint32 Position() const { return m_position; }
    // Clamped to Min..Max; redrawn at once only when the shown step or percentage changes.
    void SetPosition(qint32 value);
    qint32 Max() const { return m_max; }
    void SetMax(qint32 value);
    qint32 Min() const { return 0; }
    QColor Level0Color() const { return m_level0Color; }
    // Sets Level0Color and Level0ColorTo together.
    void SetLevel0Color(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint32 m_position = 0;
    qint32 m_max = 100;
    QColor m_level0Color{0xA0, 0xB7, 0xD4};
};
