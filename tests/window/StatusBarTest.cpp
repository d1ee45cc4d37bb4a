#include "window/StatusBar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PaintCount : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

// A transfer sets the status panel for every piece, mostly to the same text:
// only a new text may cost a paint.
TEST(StatusBar, OnlyANewTextIsPainted)
{
    TStatusBar bar;
    bar.resize(600, 20);
    bar.addPanel(100, Qt::AlignLeft, QStringLiteral(" Version"));
    bar.addPanel(500, Qt::AlignLeft, QStringLiteral(" Status: Waiting"));
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QCoreApplication::processEvents();
    PaintCount count;
    bar.installEventFilter(&count);

    const struct
    {
        qsizetype index;
        const char *text;
        int paints;
        const char *second;
    } cases[] = {
        {1, " Status: Waiting", 0, " Status: Waiting"},
        {1, "Status: Downloading...", 1, "Status: Downloading..."},
        {1, "Status: Downloading...", 0, "Status: Downloading..."},
        {0, " Version 2", 1, "Status: Downloading..."},
        {2, "no such panel", 0, "Status: Downloading..."},
        {-1, "no such panel", 0, "Status: Downloading..."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        count.paints = 0;
        bar.setPanelText(c.index, QString::fromLatin1(c.text));
        QCoreApplication::processEvents();
        EXPECT_EQ(count.paints, c.paints);
        EXPECT_EQ(bar.panelText(1), QString::fromLatin1(c.second));
    }
    EXPECT_EQ(bar.panelText(0), QStringLiteral(" Version 2"));
}

} // namespace

TEST(StatusBar, LastPanelIsCutByANarrowBarAndReachesTheEdgeOfAWideOne)
{
    TStatusBar bar;
    bar.addPanel(100, Qt::AlignLeft, QStringLiteral(" Version: 2.9.6"));
    bar.addPanel(80, Qt::AlignHCenter, QStringLiteral("00:00:00"));
    bar.addPanel(500, Qt::AlignLeft, QStringLiteral(" Status: Waiting"));
    const int gap = 100 - bar.panelRect(0).width(); // between neighbouring panels
    const struct
    {
        int barWidth, lastWidth; // the last panel's width, gap included
    } cases[]{{632, 500}, {680, 500}, {900, 720}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.barWidth);
        bar.resize(c.barWidth, 19);
        EXPECT_EQ(bar.panelRect(2).left(), 180);
        EXPECT_EQ(bar.panelRect(2).width() + gap, c.lastWidth);
        EXPECT_EQ(bar.panelRect(1).width() + gap, 80);
    }
}
