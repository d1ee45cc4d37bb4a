#pragma once

#include "markup/Bevel.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

// Markup label: an opaque vertical gradient (or plain colour), an optional
// bevel frame and a markup caption, all drawn off-screen and copied at once.
class THTMLabel : public QWidget
{
    Q_OBJECT

public:
    enum VAlignment
    {
        tvaTop,
        tvaCenter,
    };

    explicit THTMLabel(QWidget *parent = nullptr);

    void setColor(QRgb color);
    // Without ColorTo the label is filled plainly with Color.
    void setColorTo(QRgb color);
    void setCaption(const QString &markup);
    QString caption() const { return m_caption; }
    void setVAlignment(VAlignment alignment);
    void setBevels(BevelKind outer, BevelKind inner);

    // The label's picture as it is copied to the screen, drawn at the screen's
    // device pixel ratio so that the caption is as sharp as any text.
    QImage render(qreal devicePixelRatio = 1) const;
    // Top-left corner of the caption inside the label, after vertical centring.
    QPoint captionOrigin() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QRect textRect() const;
    // Forgets the drawn picture and schedules a paint.
    void redraw();

    QRgb m_color = qRgb(0xF0, 0xF0, 0xF0);
    QRgb m_colorTo = 0;
    bool m_hasColorTo = false;
    QString m_caption;
    VAlignment m_vAlignment = tvaTop;
    BevelKind m_outer = BevelKind::None;
    BevelKind m_inner = BevelKind::None;
    QImage m_picture; // render()'s result, kept between paints
};
