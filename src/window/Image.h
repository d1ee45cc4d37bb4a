#pragma once

#include <QPixmap>
#include <QWidget>

// A picture shown centred at its own size (cut where it is larger than the
// control) that reports clicks.
class TImage : public QWidget
{
    Q_OBJECT

public:
    explicit TImage(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    // What a click does (a screen reader's press too).
    void click() { Q_EMIT clicked(); }
    const QPixmap &picture() const { return m_picture; }
    // Where the picture's top-left corner lies; negative where it is cut off.
    QPoint pictureOrigin() const;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPixmap m_picture;
};
