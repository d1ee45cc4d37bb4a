#pragma once

#include <QAbstractButton>

#include <optional>

// Flat button with a 16-band gradient and a one-pixel border per state
// (normal, mouse over, pressed). It never takes the keyboard focus; disabled,
// it keeps its normal colours and draws its caption engraved.
class TAdvToolButton : public QAbstractButton
{
    Q_OBJECT

public:
    struct Colors
    {
        QRgb Color;
        std::optional<QRgb> ColorTo;
        QRgb ColorHot;
        std::optional<QRgb> ColorHotTo;
        QRgb ColorDown;
        QRgb BorderColor;
        QRgb BorderHotColor;
        QRgb BorderDownColor;
    };

    enum class Look
    {
        Normal,
        Hot,
        Down,
    };

    explicit TAdvToolButton(QWidget *parent = nullptr);

    void setColors(const Colors &colors);
    const Colors &colors() const { return m_colors; }
    // What the button shows now: pressed beats mouse-over; a disabled button looks normal.
    Look look() const;
    // The picture of the button in a given look.
    QImage render(Look look) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    Colors m_colors;
};
