#include "markup/HTMLComboBox.h"
#include "markup/HTMLabel.h"
#include "service/FormatTable.h"
#include "window/AdvToolButton.h"
#include "window/Image.h"
#include "window/MainForm.h"
#include "window/StatusBar.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const QRect &r, std::ostream *os)
{
    *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace {

struct Placement
{
    const char *name;
    const char *parent;
    QRect designed;
    // How the control follows a larger window: width and/or height grow with it,
    // or it moves down with the bottom edge.
    bool growsWide = false;
    bool growsTall = false;
    bool followsBottom = false;
};

const Placement Placements[] = {
    {"Panel4", "MainForm", {0, 0, 632, 73}, true},
    {"Panel5", "MainForm", {0, 73, 632, 26}, true},
    {"Panel1", "MainForm", {0, 99, 632, 228}, true, true},
    {"Panel3", "MainForm", {0, 327, 632, 39}, true, false, true},
    {"Panel2", "MainForm", {0, 366, 632, 41}, true, false, true},
    {"StatusBar", "MainForm", {0, 407, 632, 19}, true, false, true},
    {"ImageLogo", "Panel4", {2, 2, 628, 69}, true},
    {"HTMLabel1", "Panel5", {2, 2, 628, 22}, true},
    {"Button1", "Panel5", {2, 2, 275, 22}},
    {"HTMLabel6", "Panel1", {2, 2, 628, 224}, true, true},
    {"FormatComboBox", "Panel1", {91, 19, 270, 22}},
    {"HelpButton2", "Panel1", {468, 19, 70, 31}},
    {"AdvToolButton2", "Panel1", {547, 19, 70, 31}},
    {"ConvertAVICheckBox", "Panel1", {91, 54, 374, 20}},
    {"ConvertMP4CheckBox", "Panel1", {91, 78, 374, 20}},
    {"MoviePathEdit", "Panel1", {88, 110, 537, 21}},
    {"AdvEdit1", "Panel1", {263, 137, 313, 21}},
    {"DirectoryEdit", "Panel1", {88, 166, 393, 21}},
    {"SelectDirectoryButton", "Panel1", {483, 164, 70, 25}},
    {"OpenDirectoryButton", "Panel1", {555, 164, 70, 25}},
    {"HTMLabel3", "Panel3", {2, 2, 628, 35}, true},
    {"StatusLabel", "Panel3", {75, 12, 548, 13}, true},
    {"v", "Panel2", {0, 0, 632, 41}, true},
    {"ProgressBar", "Panel2", {80, 10, 449, 21}},
    {"StartButton", "Panel2", {541, 8, 84, 25}},
};

// Caption labels size themselves to their text: place and height are fixed,
// the width is at least the designed one.
const Placement Labels[] = {
    {"Label6", "Panel1", {23, 23, 51, 13}},   {"Label1", "Panel1", {19, 113, 55, 13}},
    {"Label5", "Panel1", {89, 137, 164, 13}}, {"Label2", "Panel1", {34, 168, 40, 13}},
    {"Label4", "Panel3", {24, 12, 41, 13}},
};

QRect expectedAt(const Placement &p, int dw, int dh)
{
    QRect r = p.designed;
    if (p.growsWide)
        r.setWidth(r.width() + dw);
    if (p.growsTall)
        r.setHeight(r.height() + dh);
    if (p.followsBottom)
        r.translate(0, dh);
    return r;
}

void checkPlacements(TMainForm &form, int dw, int dh)
{
    for (const Placement &p : Placements) {
        SCOPED_TRACE(p.name);
        auto *widget = form.findChild<QWidget *>(QString::fromLatin1(p.name));
        ASSERT_NE(widget, nullptr);
        ASSERT_NE(widget->parentWidget(), nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(p.parent));
        EXPECT_EQ(widget->geometry(), expectedAt(p, dw, dh));
        EXPECT_FALSE(widget->isHidden());
    }
    for (const Placement &p : Labels) {
        SCOPED_TRACE(p.name);
        auto *label = form.findChild<QLabel *>(QString::fromLatin1(p.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget()->objectName(), QString::fromLatin1(p.parent));
        EXPECT_EQ(label->pos(), p.designed.topLeft());
        EXPECT_EQ(label->height(), p.designed.height());
        EXPECT_GE(label->width(), p.designed.width());
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    }
}

TEST(MainFormLayout, EveryControlAtItsDesignedPlace)
{
    TMainForm form;
    EXPECT_EQ(form.size(), QSize(632, 426));
    EXPECT_EQ(form.minimumSize(), QSize(632, 426));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vidlark"));
    checkPlacements(form, 0, 0);
}

TEST(MainFormLayout, EnlargingGrowsPanelsButMovesNoInputControl)
{
    struct Size
    {
        int w, h;
    };
    for (const Size s : {Size{800, 600}, Size{633, 426}, Size{632, 900}, Size{1500, 427}}) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h);
        TMainForm form;
        form.show(); // a hidden window gets its resize event only when shown
        form.resize(s.w, s.h);
        ASSERT_EQ(form.size(), QSize(s.w, s.h));
        checkPlacements(form, s.w - 632, s.h - 426);
    }
}

TEST(MainFormLayout, CannotBeMadeSmallerThanDesigned)
{
    TMainForm form;
    form.resize(500, 300);
    EXPECT_EQ(form.size(), QSize(632, 426));
}

TEST(MainFormLayout, TabVisitsEveryControlInOrder)
{
    TMainForm form;
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("MoviePathEdit"));

    // The designed five keep their order; the buttons follow what they act on.
    const QStringList order{QStringLiteral("AdvEdit1"),
                            QStringLiteral("DirectoryEdit"),
                            QStringLiteral("SelectDirectoryButton"),
                            QStringLiteral("OpenDirectoryButton"),
                            QStringLiteral("FormatComboBox"),
                            QStringLiteral("ConvertAVICheckBox"),
                            QStringLiteral("ConvertMP4CheckBox"),
                            QStringLiteral("StartButton"),
                            QStringLiteral("HelpButton2"),
                            QStringLiteral("AdvToolButton2"),
                            QStringLiteral("Button1"),
                            QStringLiteral("MoviePathEdit")};
    QStringList visited;
    for (qsizetype i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, order);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Button1"));

    // A click on a flat button leaves the focus where it was, as designed.
    for (const char *name : {"HelpButton2", "AdvToolButton2", "SelectDirectoryButton",
                             "OpenDirectoryButton", "StartButton"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(form.findChild<QWidget *>(QString::fromLatin1(name))->focusPolicy(),
                  Qt::TabFocus);
    }
}

TEST(MainFormLayout, CaptionsAndInitialContent)
{
    TMainForm form;
    const auto text = [&](const char *name) {
        QWidget *w = form.findChild<QWidget *>(QString::fromLatin1(name));
        if (auto *label = qobject_cast<QLabel *>(w))
            return label->text();
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            return edit->text();
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            return button->text();
        return QStringLiteral("?");
    };
    const std::pair<const char *, const char *> captions[] = {
        {"Label6", "Download:"},
        {"Label1", "Video URL:"},
        {"Label5", "Try this Example for HD or Full HD:"},
        {"Label2", "Save to:"},
        {"Label4", "Status:"},
        {"StatusLabel", "Waiting"},
        {"HelpButton2", "Help"},
        {"AdvToolButton2", "Update"},
        {"SelectDirectoryButton", "Browse"},
        {"OpenDirectoryButton", "Open"},
        {"StartButton", "Download"},
        {"Button1", "Donate If You Like It!"},
        {"MoviePathEdit", ""},
        {"DirectoryEdit", ""},
        {"AdvEdit1", "http://www.youtube.com/watch?v=vidlark0001"},
    };
    for (const auto &[name, caption] : captions) {
        SCOPED_TRACE(name);
        EXPECT_EQ(text(name), QString::fromLatin1(caption));
    }
    for (const char *name : {"Button1", "HelpButton2", "AdvToolButton2", "Label4"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(form.findChild<QWidget *>(QString::fromLatin1(name))->font().bold());
    }
    for (const char *name : {"Label6", "StartButton", "SelectDirectoryButton", "StatusLabel"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(form.findChild<QWidget *>(QString::fromLatin1(name))->font().bold());
    }
    EXPECT_EQ(form.font().pixelSize(), 11);

    auto *advEdit = form.findChild<QLineEdit *>(QStringLiteral("AdvEdit1"));
    EXPECT_TRUE(advEdit->isReadOnly());
    EXPECT_FALSE(advEdit->hasFrame());

    auto *statusBar = form.findChild<TStatusBar *>(QStringLiteral("StatusBar"));
    ASSERT_EQ(statusBar->panelCount(), 3);
    EXPECT_EQ(statusBar->panelText(0), QStringLiteral(" Version: 2.9.6"));
    EXPECT_EQ(statusBar->panelText(1), QStringLiteral("00:00:00"));
    EXPECT_EQ(statusBar->panelText(2), QStringLiteral(" Status: Waiting"));
    EXPECT_EQ(statusBar->panelRect(2).left(), 180);

    auto *v = form.findChild<THTMLabel *>(QStringLiteral("v"));
    EXPECT_TRUE(v->caption().startsWith(QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;<FONT")));
    EXPECT_EQ(form.Timer1().interval(), 1000);
    EXPECT_FALSE(form.Timer1().isActive());
}

TEST(MainFormLayout, FormatListHoldsEveryRowUnsorted)
{
    TMainForm form;
    THTMLComboBox *list = form.FormatComboBox();
    ASSERT_EQ(list->count(), FormatCount);
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->itemText(0), QStringLiteral("FLV video - <b>240p</b>"));
    EXPECT_EQ(list->itemText(5), QStringLiteral("MP4 video - <b>Full HD (1080p)</b>   <font "
                                                "color=\"#ff0000\">- if available</font>"));
    EXPECT_EQ(list->itemText(1).indexOf(QStringLiteral("   <font")),
              list->itemText(1).indexOf(QStringLiteral("</b>")) + 4);
}

TEST(MainFormLayout, LogoIsCentredWithoutScaling)
{
    TMainForm form;
    auto *logo = form.findChild<TImage *>(QStringLiteral("ImageLogo"));
    EXPECT_EQ(logo->picture().size(), QSize(450, 90));
    // 10 rows cut at the top, 11 at the bottom.
    EXPECT_EQ(logo->pictureOrigin(), QPoint(89, -10));
    EXPECT_EQ(logo->cursor().shape(), Qt::PointingHandCursor);

    const QImage shown = logo->grab().toImage();
    const QImage picture = logo->picture().toImage();
    for (const QPoint p : {QPoint(0, 10), QPoint(225, 45), QPoint(449, 78), QPoint(100, 40)}) {
        SCOPED_TRACE(testing::Message() << p.x() << "," << p.y());
        EXPECT_EQ(shown.pixel(p + QPoint(89, -10)), picture.pixel(p));
    }
}

TEST(MainFormLayout, WindowCarriesTheProgramIconInEverySize)
{
    TMainForm form;
    const QIcon icon = form.windowIcon();
    for (const int size : {48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        // The drawing, not an empty square: its centre is opaque.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
    }
}

} // namespace
