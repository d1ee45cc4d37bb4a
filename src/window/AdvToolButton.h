#pragma once

#include <QAbstractButton>

#include <optional>

// Flat button with a 16-band gradient and a one-pixel border per state
// (normal, mouse over, pressed). Tab gives it the keyboard focus (a click
// leaves the focus where it was), which a dotted rectangle inside the border
// shows; Space or Return presses it. Disabled, it keeps its normal colours and
// draws its caption engraved.
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

    // The focus mark runs this far inside the button's edges.
    static constexpr int FocusInset = 3;

    explicit TAdvToolButton(QWidget *parent = nullptr);

    // The caption, and Alt with its first letter as the mnemonic, which
    // leaves the drawn caption as it is.
    void setCaption(const QString &caption);
    void setColors(const Colors &colors);
    const Colors &colors() const { return m_colors; }
    // What the button shows now: pressed beats mouse-over; a disabled button looks normal.
    Look look() const;
    // The picture of the button in a given look, with the focus mark while it has the focus.
    // Drawn at the screen's device pixel ratio, so the caption stays sharp.
    QImage render(Look look, qreal devicePixelRatio = 1) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Colors m_colors;
};
