#pragma once

#include <QComboBox>

// Drop-down list whose items are markup captions. Not sorted, no edit field;
// the closed field shows the selected item drawn by the same rules as the list.
class THTMLComboBox : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int EditHeight = 16;
    static constexpr int ItemIndent = 2;
    static constexpr int DropDownWidth = 270;
    static constexpr int DropDownHeight = 200;

    explicit THTMLComboBox(QWidget *parent = nullptr);

    // Draws one item into `rect`: a selected item takes the highlight colours
    // and ignores the caption's colour attributes.
    static void drawItem(QPainter &painter, const QWidget &widget, const QRect &rect,
                         const QString &markup, bool selected);

    static constexpr QSize DropDownSize() { return {DropDownWidth, DropDownHeight}; }

    // Where the open list goes for a field and the screen's free area (all in
    // screen coordinates): below the field, above it where the screen ends.
    static QRect dropDownRect(const QRect &field, const QRect &screen);

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
