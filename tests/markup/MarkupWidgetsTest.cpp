#include "markup/FontFallback.h"
#include "markup/HTMLCheckBox.h"
#include "markup/HTMLComboBox.h"
#include "markup/HTMLabel.h"
#include "markup/MarkupPainter.h"
#include "markup/MarkupWidgetFont.h"
#include "markup/TColor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString AviCaption = QStringLiteral(
    "Convert FLV to <font color=\"#0000ff\"><B>AVI</B></font> (XVID) - compatible with most video "
    "players");
const QString ProgressCaption = QStringLiteral(
    "&nbsp;&nbsp;&nbsp;&nbsp;<FONT color=\"#FFFFFF\"  size=\"9\" face=\"Tahoma\">Progress</FONT>");

QFont windowFont()
{
    return FontFallback::font(QStringLiteral("MS Sans Serif"), 8);
}

// Text is anti-aliased: a pixel counts when each part is within 40 of the colour.
bool near(QRgb pixel, QRgb colour)
{
    return std::abs(qRed(pixel) - qRed(colour)) <= 40 &&
           std::abs(qGreen(pixel) - qGreen(colour)) <= 40 &&
           std::abs(qBlue(pixel) - qBlue(colour)) <= 40;
}

int countPixels(const QImage &image, QRgb colour, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (near(image.pixel(x, y), colour))
                ++count;
    return count;
}

// First column, left to right, holding a pixel of the colour.
int firstColumnWith(const QImage &image, QRgb colour)
{
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return x;
    return -1;
}

TEST(HTMLabel, ProgressCaptionStartsFourSpacesInAndIsCentred)
{
    THTMLabel v;
    v.setFont(windowFont());
    v.resize(632, 41);
    v.setColor(tcolor(14859414));
    v.setColorTo(tcolor(9648131));
    v.setBevels(BevelKind::Lowered, BevelKind::Raised);
    v.setVAlignment(THTMLabel::tvaCenter);
    v.setCaption(ProgressCaption);

    const MarkupLayout layout =
        MarkupLayout::build(ProgressCaption, markupFontOf(v), {628, 37}, MarkupPainter());
    ASSERT_EQ(layout.lines.size(), 1);
    const QList<MarkupPiece> &pieces = layout.lines.first().pieces;
    ASSERT_EQ(pieces.size(), 2);
    const int space4 = QFontMetrics(windowFont()).horizontalAdvance(QStringLiteral("    "));
    EXPECT_EQ(pieces[1].x, space4);
    EXPECT_EQ(pieces[1].font.pointSize, 9);
    EXPECT_EQ(MarkupPainter::qfont(pieces[1].font).pixelSize(), 12);

    const int captionHeight = layout.size.height();
    EXPECT_EQ(v.captionOrigin(), QPoint(2, 2 + (41 - captionHeight) / 2));

    // The first white glyph pixel lies just right of the four spaces.
    const QImage image = v.render();
    const int firstWhite = firstColumnWith(image.copy(2, 2, 628, 37), qRgb(255, 255, 255));
    EXPECT_GE(firstWhite, space4);
    EXPECT_LE(firstWhite, space4 + 3);

    // With ordinary blanks the caption starts at the left edge.
    v.setCaption(QStringLiteral("    <FONT color=\"#FFFFFF\" size=\"9\" face=\"Tahoma\">Progress"));
    const int trimmedWhite = firstColumnWith(v.render().copy(2, 2, 628, 37), qRgb(255, 255, 255));
    EXPECT_GE(trimmedWhite, 0);
    EXPECT_LE(trimmedWhite, 3);
}

// The label keeps its drawn picture between paints: every change that alters
// the picture must still reach the screen.
TEST(HTMLabel, EveryChangeReachesThePaintedPicture)
{
    THTMLabel label;
    label.setFont(windowFont());
    label.resize(200, 30);
    label.setColor(tcolor(14212832));
    label.setCaption(QStringLiteral("first"));
    QImage before = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(before, label.render());

    const std::function<void()> changes[] = {
        [&] { label.setCaption(QStringLiteral("<B>second</B>")); },
        [&] { label.setColor(tcolor(13489624)); },
        [&] { label.setColorTo(tcolor(9648131)); },
        [&] { label.setBevels(BevelKind::Lowered, BevelKind::Raised); },
        [&] { label.setVAlignment(THTMLabel::tvaCenter); },
        [&] { label.setFont(FontFallback::font(QStringLiteral("MS Sans Serif"), 14)); },
        [&] {
            QPalette palette = label.palette();
            palette.setColor(QPalette::WindowText, Qt::red);
            label.setPalette(palette);
        },
        [&] { label.resize(260, 40); },
    };
    int step = 0;
    for (const auto &change : changes) {
        SCOPED_TRACE(step++);
        change();
        const QImage after = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(after, label.render());
        EXPECT_NE(after, before);
        before = after;
    }
}

// A check box on a plain background, as the window puts it on its gradient.
struct CheckBoxOnPanel
{
    QWidget panel;
    THTMLCheckBox *box = new THTMLCheckBox(&panel);

    CheckBoxOnPanel()
    {
        panel.resize(400, 30);
        panel.setAutoFillBackground(true);
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Window, QColor(0xC8, 0xD0, 0xC0));
        panel.setPalette(palette);
        panel.setFont(windowFont());
        box->setGeometry(0, 0, 374, 20);
        box->setText(AviCaption);
    }
    QImage image() { return box->grab().toImage(); }
};

TEST(HTMLCheckBox, DisabledCaptionIsGreyWithAWhiteShadowAndKeepsBlue)
{
    CheckBoxOnPanel enabled;
    const QImage on = enabled.image();
    const QRect caption(17, 4, 357, 16);
    EXPECT_GT(countPixels(on, qRgb(0, 0, 0), caption), 20);
    EXPECT_GT(countPixels(on, qRgb(0, 0, 255), caption), 10);
    EXPECT_EQ(countPixels(on, qRgb(255, 255, 255), caption), 0);

    CheckBoxOnPanel disabled;
    disabled.box->setEnabled(false);
    const QImage off = disabled.image();
    EXPECT_EQ(countPixels(off, qRgb(0, 0, 0), caption), 0);
    EXPECT_GT(countPixels(off, 0x808080, caption), 20);
    EXPECT_GT(countPixels(off, qRgb(255, 255, 255), caption), 10);
    EXPECT_GT(countPixels(off, qRgb(0, 0, 255), caption), 10);
    // The white copy lies one pixel right of and below the grey one.
    bool shadowBelowRight = false;
    for (int y = 4; y < 19 && !shadowBelowRight; ++y)
        for (int x = 17; x < 370; ++x)
            if (near(off.pixel(x, y), 0x808080) && near(off.pixel(x + 1, y + 1), 0xFFFFFF)) {
                shadowBelowRight = true;
                break;
            }
    EXPECT_TRUE(shadowBelowRight);
}

TEST(HTMLCheckBox, MouseAndSpaceToggleAndReportButCodeDoesNot)
{
    CheckBoxOnPanel fixture;
    fixture.panel.show();
    QApplication::setActiveWindow(&fixture.panel);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fixture.panel));
    THTMLCheckBox &box = *fixture.box;
    QSignalSpy clicks(&box, &QAbstractButton::clicked);

    box.setChecked(true);
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(clicks.count(), 0);
    box.setChecked(false);

    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(box.hasFocus());

    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_FALSE(box.isChecked());
    EXPECT_EQ(clicks.count(), 2);

    // Released outside the control: no toggle.
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(200, 10));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(390, 25));
    EXPECT_FALSE(box.isChecked());
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(box.focusPolicy(), Qt::StrongFocus);
}

TEST(HTMLCheckBox, FocusRectangleSurroundsTheCaption)
{
    CheckBoxOnPanel fixture;
    const QSize caption = fixture.box->captionSize();
    EXPECT_GT(caption.width(), 200);
    EXPECT_EQ(fixture.box->focusRect(),
              QRect(QPoint(17, 4), QPoint(17 + caption.width() + 3, 4 + caption.height() + 1)));
}

TEST(HTMLComboBox, SelectedItemDrawsItsNoteInTheHighlightTextColour)
{
    THTMLComboBox combo;
    combo.setFont(windowFont());
    QPalette palette = combo.palette();
    palette.setColor(QPalette::Highlight, QColor(0, 0x66, 0xCC));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    combo.setPalette(palette);
    const QString item = QStringLiteral(
        "MP4 video - <b>HD (720p)</b>   <font color=\"#ff0000\">- if available</font>");

    const auto draw = [&](bool selected) {
        QImage image(270, 16, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        THTMLComboBox::drawItem(painter, combo, image.rect(), item, selected);
        return image;
    };
    const QImage plain = draw(false);
    EXPECT_GT(countPixels(plain, qRgb(255, 0, 0)), 10);
    EXPECT_GT(countPixels(plain, qRgb(0, 0, 0)), 20);
    EXPECT_EQ(countPixels(plain, qRgb(255, 0, 255)), 0);
    // Text starts two pixels in.
    EXPECT_GE(firstColumnWith(plain, qRgb(0, 0, 0)), 2);

    const QImage selected = draw(true);
    EXPECT_EQ(countPixels(selected, qRgb(255, 0, 0)), 0);
    EXPECT_EQ(countPixels(selected, qRgb(0, 0, 0)), 0);
    EXPECT_GT(countPixels(selected, qRgb(255, 255, 255)), 30);
    EXPECT_GT(countPixels(selected, qRgb(0, 0x66, 0xCC)), 1000);
}

} // namespace

TEST(HTMLComboBox, DropDownHasItsOwnSizeWhateverTheItemMarkup)
{
    QWidget window;
    window.resize(632, 426);
    THTMLComboBox list(&window);
    list.setGeometry(91, 19, 270, 22);
    list.addItem(QStringLiteral("FLV video - <b>240p</b>"));
    list.addItem(QStringLiteral(
        "MP4 video - <b>Full HD (1080p)</b>   <font color=\"#ff0000\">- if available</font>"));
    window.show();
    list.showPopup();
    const QWidget *popup = list.view()->window();
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->size(), QSize(THTMLComboBox::DropDownWidth, THTMLComboBox::DropDownHeight));
    list.hidePopup();
}

TEST(HTMLComboBox, DropDownOpensBelowTheFieldOrAboveWhereTheScreenEnds)
{
    const QRect screen(0, 0, 800, 600);
    struct Case
    {
        const char *name;
        QRect field;
        QPoint expected; // top-left of the list
    };
    const Case cases[] = {
        {"room below", {91, 119, 270, 22}, {91, 141}},
        {"just enough room below", {91, 378, 270, 22}, {91, 400}},
        {"screen ends below", {91, 379, 270, 22}, {91, 179}},
        {"no room either way: below", {91, 190, 270, 222}, {91, 412}},
        {"right edge", {700, 100, 100, 22}, {530, 122}},
        {"left edge", {-40, 100, 270, 22}, {0, 122}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QRect list = THTMLComboBox::dropDownRect(c.field, screen);
        EXPECT_EQ(list.topLeft(), c.expected);
        EXPECT_EQ(list.size(), THTMLComboBox::DropDownSize());
    }
}

TEST(HTMLComboBox, OpenListStartsRightUnderTheFieldWithTheFirstItem)
{
    QWidget window;
    window.resize(632, 426);
    THTMLComboBox list(&window);
    list.setGeometry(91, 119, 270, 22);
    for (int i = 0; i < 6; ++i)
        list.addItem(QStringLiteral("FLV video - <b>%1p</b>").arg(240 + i));
    list.setCurrentIndex(2);
    window.show();
    list.showPopup();
    const QWidget *popup = list.view()->window();
    ASSERT_TRUE(popup->isVisible());
    // The style would have laid the selected item over the field.
    EXPECT_EQ(popup->geometry().topLeft(), list.mapToGlobal(QPoint(0, list.height())));
    EXPECT_EQ(popup->size(), THTMLComboBox::DropDownSize());
    EXPECT_EQ(list.view()->indexAt(QPoint(5, 5)).row(), 0);
    list.hidePopup();
}
