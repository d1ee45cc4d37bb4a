// The designed look under other desktops: a dark palette, a 2x screen.
#include "markup/HTMLComboBox.h"
#include "markup/HTMLabel.h"
#include "markup/TColor.h"
#include "window/AdvProgressBar.h"
#include "window/AdvToolButton.h"
#include "window/MainForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPixmap>

#include <cmath>
#include <gtest/gtest.h>

namespace {

// What a dark desktop theme hands the program.
QPalette darkDesktop()
{
    QPalette dark;
    for (const auto &[role, color] : {std::pair{QPalette::Window, 0x353535},
                                      {QPalette::WindowText, 0xE0E0E0},
                                      {QPalette::Base, 0x2A2A2A},
                                      {QPalette::Text, 0xE0E0E0},
                                      {QPalette::Button, 0x353535},
                                      {QPalette::ButtonText, 0xFFFFFF},
                                      {QPalette::Highlight, 0x2A82DA},
                                      {QPalette::HighlightedText, 0x000000}})
        dark.setColor(role, QColor(QRgb(color)));
    return dark;
}

double luminance(const QColor &c)
{
    const auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(MainFormLook, ADarkDesktopLeavesTheDesignedColours)
{
    const QPalette desktop = QApplication::palette();
    TMainForm form;
    const QImage designed = form.grab().toImage();
    QApplication::setPalette(darkDesktop());
    QApplication::processEvents();
    const QImage afterSwitch = form.grab().toImage();
    TMainForm bornDark;
    const QImage bornDarkLook = bornDark.grab().toImage();
    const QPalette used = bornDark.palette();
    const QPalette openList = bornDark.FormatComboBox()->view()->palette();
    QApplication::setPalette(desktop);

    EXPECT_TRUE(afterSwitch == designed);
    EXPECT_TRUE(bornDarkLook == designed);
    EXPECT_EQ(openList.color(QPalette::Base), used.color(QPalette::Base));
    EXPECT_EQ(openList.color(QPalette::Text), used.color(QPalette::Text));

    // Every text against what it is drawn on keeps 4.5:1.
    struct Case
    {
        const char *what;
        QPalette::ColorRole text;
        QColor background;
    };
    const Case cases[] = {
        {"labels on the input panel, top", QPalette::WindowText, tcolor(15330541)},
        {"labels on the input panel, bottom", QPalette::WindowText, tcolor(13621466)},
        {"status line, bottom", QPalette::WindowText, tcolor(13489624)},
        {"status bar", QPalette::WindowText, used.color(QPalette::Window)},
        {"fields and list", QPalette::Text, used.color(QPalette::Base)},
        {"selected item", QPalette::HighlightedText, used.color(QPalette::Highlight)},
        {"top button", QPalette::ButtonText, used.color(QPalette::Button)},
        {"Download, bottom", QPalette::ButtonText, tcolor(12756875)},
        {"Help, bottom", QPalette::ButtonText, tcolor(11780036)},
        {"a pressed button", QPalette::ButtonText, QColor(0xA6, 0xCA, 0xF0)},
        {"percentage on the download fill", QPalette::WindowText, tcolor(13940640)},
        {"percentage on the conversion fill", QPalette::WindowText, tcolor(6730751)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_GE(contrast(used.color(c.text), c.background), 4.5);
    }
}

// A nearest-neighbour blow-up of a 1x picture has only 2 x 2 blocks of one
// colour; text drawn at 2x has many blocks that are not.
int mixedBlocks(const QImage &image)
{
    int mixed = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
                image.pixel(x + 1, y + 1) != p)
                ++mixed;
        }
    return mixed;
}

TEST(MainFormLook, CustomWidgetsDrawAtTheDevicePixelRatio)
{
    TMainForm form;
    const auto *caption = form.findChild<THTMLabel *>(QStringLiteral("v"));
    const struct
    {
        const char *name;
        QSize size;
        QImage at1;
        QImage at2;
    } cases[] = {
        {"v", caption->size(), caption->render(1), caption->render(2)},
        {"StartButton", form.StartButton()->size(),
         form.StartButton()->render(TAdvToolButton::Look::Normal, 1),
         form.StartButton()->render(TAdvToolButton::Look::Normal, 2)},
        {"ProgressBar", form.ProgressBar()->size(), form.ProgressBar()->picture(1),
         form.ProgressBar()->picture(2)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.at1.size(), c.size);
        EXPECT_EQ(c.at2.size(), c.size * 2);
        EXPECT_EQ(c.at2.devicePixelRatio(), 2.0);
        // The same picture, its frame at the same place...
        EXPECT_EQ(c.at2.pixel(0, 0), c.at1.pixel(0, 0));
        EXPECT_EQ(c.at2.pixel(1, 1), c.at1.pixel(0, 0));
        EXPECT_EQ(c.at2.pixel(c.at2.width() / 2, 2), c.at1.pixel(c.at1.width() / 2, 1));
        // ...its text drawn with twice the detail, not stretched.
        EXPECT_EQ(mixedBlocks(c.at1.scaled(c.at1.size() * 2)), 0);
        EXPECT_GT(mixedBlocks(c.at2), 20);
    }
}

} // namespace
