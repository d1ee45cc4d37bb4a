#include "window/AdvToolButton.h"

#include "RecordingDesktopShell.h"
#include "RecordingMessageBoxes.h"
#include "markup/TColor.h"
#include "window/MainForm.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

QRgb rgb(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

TAdvToolButton *button(TMainForm &form, const char *name)
{
    return form.findChild<TAdvToolButton *>(QString::fromLatin1(name));
}

TEST(AdvToolButton, NormalLookIsSixteenBandsInsideABorder)
{
    TMainForm form;
    struct Case
    {
        const char *name;
        QRgb border;
        QRgb lastBand; // band 15 of 16
    };
    // Help: white to #C4BFB3; band 15 = 255 - round(15 * (255 - c) / 16) per part.
    const Case cases[] = {
        {"HelpButton2", 0x808080, qRgb(255 - 59 + 4, 255 - 64 + 4, 255 - 76 + 5)},
        {"SelectDirectoryButton", 0x000000, qRgb(0xC4, 0xC4, 0xC4)},
        {"StartButton", 0x033893, qRgb(0x92, 0xAD, 0xC6)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TAdvToolButton *b = button(form, c.name);
        const QImage image = b->render(TAdvToolButton::Look::Normal);
        const int h = image.height();
        EXPECT_EQ(rgb(image, 0, 0), c.border);
        EXPECT_EQ(rgb(image, image.width() - 1, h - 1), c.border);
        EXPECT_EQ(rgb(image, 3, 1), 0xFFFFFFu);
        EXPECT_EQ(rgb(image, 3, h - 2), c.lastBand & 0xFFFFFF);
    }
}

TEST(AdvToolButton, HotAndPressedLooks)
{
    TMainForm form;
    const QImage startHot = button(form, "StartButton")->render(TAdvToolButton::Look::Hot);
    EXPECT_EQ(rgb(startHot, 3, 1), 0xFFFFFFu);
    EXPECT_NE(rgb(startHot, 3, 23), 0xFFFFFFu); // a gradient towards #DBEEFD
    EXPECT_EQ(rgb(startHot, 0, 0), 0x033893u);

    const QImage helpHot = button(form, "HelpButton2")->render(TAdvToolButton::Look::Hot);
    EXPECT_EQ(rgb(helpHot, 3, 1), 0xEBEBEBu); // plain
    EXPECT_EQ(rgb(helpHot, 3, 29), 0xEBEBEBu);
    EXPECT_EQ(rgb(helpHot, 0, 0), 0x808080u);

    const QImage helpDown = button(form, "HelpButton2")->render(TAdvToolButton::Look::Down);
    EXPECT_EQ(rgb(helpDown, 3, 1), 0xA6CAF0u);
    EXPECT_EQ(rgb(helpDown, 3, 29), 0xA6CAF0u);
    EXPECT_EQ(rgb(helpDown, 0, 0), tcolor(10841658) & 0xFFFFFF);
}

TEST(AdvToolButton, DisabledButtonKeepsItsColoursAndEngravesItsCaption)
{
    TMainForm form;
    TAdvToolButton *browse = button(form, "SelectDirectoryButton");
    const QImage enabled = browse->render(TAdvToolButton::Look::Normal);
    browse->setEnabled(false);
    EXPECT_EQ(browse->look(), TAdvToolButton::Look::Normal);
    const QImage disabled = browse->render(TAdvToolButton::Look::Normal);
    EXPECT_EQ(rgb(disabled, 3, 1), rgb(enabled, 3, 1));
    EXPECT_EQ(rgb(disabled, 3, 23), rgb(enabled, 3, 23));

    int dark = 0;
    int white = 0;
    for (int y = 2; y < disabled.height() - 2; ++y)
        for (int x = 2; x < disabled.width() - 2; ++x) {
            const QRgb p = disabled.pixel(x, y);
            if (qRed(p) < 40 && qGreen(p) < 40 && qBlue(p) < 40)
                ++dark;
            // White only where the text's highlight copy lies over the grey part of the gradient.
            if (y > 12 && qRed(p) > 250 && qGreen(p) > 250 && qBlue(p) > 250)
                ++white;
        }
    EXPECT_EQ(dark, 0);
    EXPECT_GT(white, 5);
}

// Focused, a dotted rectangle in the caption's colour runs inside the border;
// Space and Return press the button, Alt and the caption's first letter too.
TEST(AdvToolButton, FocusShowsAMarkAndKeysPressIt)
{
    TMainForm form;
    // Help opens a page or says it is missing: neither reaches the desktop here.
    form.setDesktopShell(std::make_unique<RecordingDesktopShell>());
    form.setMessageBoxes(std::make_unique<RecordingMessageBoxes>());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (const char *name : {"StartButton", "HelpButton2", "OpenDirectoryButton"}) {
        SCOPED_TRACE(name);
        TAdvToolButton *b = button(form, name);
        const QImage unfocused = b->render(TAdvToolButton::Look::Normal);
        b->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(b->hasFocus());
        const QImage focused = b->render(TAdvToolButton::Look::Normal);
        const int inset = TAdvToolButton::FocusInset;
        EXPECT_EQ(rgb(focused, inset, inset), 0u);
        EXPECT_NE(rgb(unfocused, inset, inset), 0u);
        EXPECT_NE(rgb(focused, inset, inset + 1), 0u); // dotted
        EXPECT_EQ(rgb(focused, inset, inset + 2), 0u);
        EXPECT_EQ(rgb(focused, 0, 0), rgb(unfocused, 0, 0)); // the border stays

        QSignalSpy clicks(b, &QAbstractButton::clicked);
        QTest::keyClick(b, Qt::Key_Space);
        QTest::keyClick(b, Qt::Key_Return);
        EXPECT_EQ(clicks.count(), 2);
        QTest::keyClick(&form, b->text().at(0).toLower().toLatin1(), Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() == 3; }));
    }
}

} // namespace
