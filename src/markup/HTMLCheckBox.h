#pragma once

#include <QAbstractButton>

// Check box with a markup caption: transparent, the classic 13 x 13 box at
// (0, 4) and the caption from (17, 4). A mouse click on the control or the
// space key toggles the tick and emits clicked(); setChecked() emits nothing
// of the kind (only toggled()). Tab reaches it.
class THTMLCheckBox : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr QRect BoxRect{0, 4, 13, 13};
    static constexpr QPoint CaptionOrigin{17, 4};
    static constexpr QRgb DisabledColor = 0x808080;

    explicit THTMLCheckBox(QWidget *parent = nullptr);

    // Size of the caption as laid out in the control.
    QSize captionSize() const;
    // The dotted rectangle drawn while the control has the focus.
    QRect focusRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawCaption(QPainter &painter, QPoint origin, QColor color) const;
};
