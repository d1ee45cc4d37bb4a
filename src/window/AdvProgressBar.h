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
    QColor Level0ColorTo() const { return m_level0Color; }
    // Sets Level0Color and Level0ColorTo together.
    void SetLevel0Color(const QColor &color);

    // The whole percentage shown for the current position.
    int Percentage() const { return percentageOf(m_position); }
    // The face of the percentage text: Verdana where installed, else the nearest sans-serif.
    QFont PercentageFont() const { return m_percentageFont; }

    // The bar's picture as it is copied to the screen, drawn at the screen's
    // device pixel ratio so that the percentage is as sharp as any text; the
    // corners outside the outline are see-through.
    QImage picture(qreal devicePixelRatio = 1) const;

    // How often SetPosition redrew the bar at once, and how often it was painted at all.
    int ImmediateRedraws() const { return m_immediateRedraws; }
    int PaintCount() const { return m_paintCount; }

    // numerator / denominator rounded to the nearest integer, halves to the even one.
    static qint64 RoundHalfEven(qint64 numerator, qint64 denominator);
    // round(part / whole * 100) with halves to the even neighbour; 0 for an empty range.
    static int RoundPercentage(qint64 part, qint64 whole);

    // Magenta in the off-screen picture stands for "see-through".
    static constexpr QRgb TransparentKey = 0xFF00FF;
    static constexpr int CornerEllipse = 6;
    static constexpr int FillInset = 2;
    static constexpr int PercentageCellHeight = 12;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int percentageOf(qint32 value) const;
    // Tells a screen reader of a new percentage.
    void tellValue();
    qint32 stepSize() const { return qint32((qint64(m_max) - Min()) / 100); }
    // The outline on the key colour, made once per size and pixel ratio.
    const QImage &outline(qreal devicePixelRatio) const;

    qint32 m_position = 0;
    qint32 m_max = 100;
    QColor m_level0Color{0xA0, 0xB7, 0xD4};
    QFont m_percentageFont;
    // Step (position div step size) and percentage at the last in-range position change.
    qint64 m_lastStep = 0;
    int m_lastPercentage = 0;
    int m_toldPercentage = 0;
    mutable QImage m_outline;
    int m_immediateRedraws = 0;
    int m_paintCount = 0;
};
