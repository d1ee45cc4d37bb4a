#include "window/AdvProgressBar.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPalette>

#include <functional>
#include <gtest/gtest.h>

namespace {

// The bar's size in the window.
constexpr int BarWidth = 449;
constexpr int BarHeight = 21;
const QColor Fill(0xA0, 0xB7, 0xD4);

class AdvProgressBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setBackdrop(QColor(0x20, 0xC0, 0x40));
        backdrop.resize(BarWidth + 20, BarHeight + 20);
        bar = new TAdvProgressBar(&backdrop);
        bar->setGeometry(10, 10, BarWidth, BarHeight);
        bar->SetLevel0Color(Fill);
        backdrop.show();
        settle();
    }

    void setBackdrop(const QColor &colour)
    {
        QPalette palette = backdrop.palette();
        palette.setColor(QPalette::Window, colour);
        backdrop.setPalette(palette);
        backdrop.setAutoFillBackground(true);
    }

    // Handles what is waiting, deferred paints included.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    // What the screen shows where the bar is, backdrop included.
    QImage shown()
    {
        return backdrop.grab(bar->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    QImage shownAt(qint32 max, qint32 position)
    {
        bar->SetMax(max);
        bar->SetPosition(position);
        return shown();
    }

    QWidget backdrop;
    TAdvProgressBar *bar = nullptr; // owned by backdrop
};

TEST(AdvProgressBarRounding, HalvesGoToTheEvenNeighbour)
{
    struct Case
    {
        qint64 part, whole;
        int percentage;
    };
    const Case cases[] = {
        {1, 200, 0},
        {5, 200, 2},
        {7, 200, 4},
        {9, 200, 4},
        {11, 200, 6},
        {197, 200, 98},
        {199, 200, 100},
        {1, 3, 33},
        {2, 3, 67},
        {0, 0, 0},
        {5, 0, 0},
        {-1, 200, 0},
        {-3, 200, -2},
        {1000, 1000, 100},
        {2147483647, 2147483647, 100},
        {1073741823, 2147483647, 50},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.part << " of " << c.whole);
        EXPECT_EQ(TAdvProgressBar::RoundPercentage(c.part, c.whole), c.percentage);
    }
}

TEST_F(AdvProgressBarTest, RedrawsAtOnceOnlyOnANewHundredthOrPercentage)
{
    struct Step
    {
        qint32 value;
        qint32 position;
        int percentage;
        bool redrawn;
    };
    // Max 1000: the step size is 10.
    bar->SetMax(1000);
    settle();
    const Step steps[] = {
        {1, 1, 0, false},                             // same step, same percentage
        {5, 5, 0, false},                             // 0.5 % shows 0 %
        {10, 10, 1, true},                            // a multiple of the step size
        {15, 15, 2, true},                            // same step, 1.5 % turns into 2 %
        {16, 16, 2, false}, {25, 25, 2, true},        // new step; 2.5 % stays at 2 %
        {35, 35, 4, true},                            // 3.5 % shows 4 %
        {36, 36, 4, false}, {1001, 1000, 100, false}, // beyond Max: clamped, not drawn
        {-7, 0, 0, false},                            // below Min: clamped, not drawn
        {0, 0, 0, true},    {1000, 1000, 100, true},  {999, 999, 100, true}, // new step
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(testing::Message() << "SetPosition(" << step.value << ")");
        const int paintsBefore = bar->PaintCount();
        const int redrawsBefore = bar->ImmediateRedraws();
        bar->SetPosition(step.value);
        EXPECT_EQ(bar->Position(), step.position);
        EXPECT_EQ(bar->Percentage(), step.percentage);
        EXPECT_EQ(bar->ImmediateRedraws() - redrawsBefore, step.redrawn ? 1 : 0);
        // Drawn within the call, not later from the event loop.
        EXPECT_EQ(bar->PaintCount() - paintsBefore, step.redrawn ? 1 : 0);
    }
}

TEST_F(AdvProgressBarTest, ANewPercentageInsideOneStepIsRedrawn)
{
    // Max 1999: the step size is 19, and 10 of 1999 is already 0.5003 %.
    bar->SetMax(1999);
    settle();
    const int before = bar->ImmediateRedraws();
    bar->SetPosition(9);
    EXPECT_EQ(bar->ImmediateRedraws(), before);
    bar->SetPosition(10);
    EXPECT_EQ(bar->Percentage(), 1);
    EXPECT_EQ(bar->ImmediateRedraws(), before + 1);
}

TEST_F(AdvProgressBarTest, EveryPositionIsDrawnWhenTheRangeIsBelowAHundred)
{
    bar->SetMax(50);
    settle();
    const int before = bar->ImmediateRedraws();
    for (qint32 v = 1; v <= 50; ++v)
        bar->SetPosition(v);
    EXPECT_EQ(bar->ImmediateRedraws() - before, 50);
}

TEST_F(AdvProgressBarTest, MaximumAndColourAreRedrawnLater)
{
    struct Change
    {
        const char *what;
        std::function<void()> apply;
    };
    const Change changes[] = {
        {"SetMax", [this] { bar->SetMax(500); }},
        {"SetLevel0Color", [this] { bar->SetLevel0Color(QColor(0xFF, 0xB3, 0x66)); }},
    };
    for (const Change &change : changes) {
        SCOPED_TRACE(change.what);
        settle();
        const int paintsBefore = bar->PaintCount();
        const int redrawsBefore = bar->ImmediateRedraws();
        change.apply();
        EXPECT_EQ(bar->PaintCount(), paintsBefore);
        EXPECT_EQ(bar->ImmediateRedraws(), redrawsBefore);
        const QDeadlineTimer guard(5000);
        while (bar->PaintCount() == paintsBefore && !guard.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_GT(bar->PaintCount(), paintsBefore);
    }
}

TEST_F(AdvProgressBarTest, OutlineIsRoundedWithSeeThroughCorners)
{
    const QColor backdrops[] = {QColor(0x20, 0xC0, 0x40), QColor(0x10, 0x20, 0x90)};
    for (const QColor &colour : backdrops) {
        SCOPED_TRACE(colour.name().toStdString());
        setBackdrop(colour);
        const QImage image = shownAt(100, 0);
        const int r = BarWidth - 1, b = BarHeight - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)})
            EXPECT_EQ(image.pixelColor(corner), colour) << corner.x() << "," << corner.y();
        for (const QPoint edge :
             {QPoint(BarWidth / 2, 0), QPoint(BarWidth / 2, b), QPoint(0, 10), QPoint(r, 10)})
            EXPECT_EQ(image.pixelColor(edge), QColor(Qt::black)) << edge.x() << "," << edge.y();
        EXPECT_EQ(image.pixelColor(1, 10), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(r - 1, 10), QColor(Qt::white));
        // The key colour never reaches the screen.
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_NE(image.pixel(x, y) & 0xFFFFFF, 0xFF00FFu) << x << "," << y;
    }
}

// Bars too small for their rounded corners are see-through where the outline
// does not reach; a filled bar keeps its corners see-through too.
TEST_F(AdvProgressBarTest, TheKeyColourNeverReachesTheScreenAtAnySize)
{
    const QSize sizes[] = {{1, 1}, {2, 2}, {3, 3}, {4, 3}, {5, 1}, {6, 5}, {7, 21}, {120, 16}};
    for (const QSize size : sizes) {
        for (const qint32 position : {0, 50, 100}) {
            SCOPED_TRACE(testing::Message()
                         << size.width() << "x" << size.height() << " at " << position);
            bar->resize(size);
            settle();
            const QImage image = shownAt(100, position);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    ASSERT_NE(image.pixel(x, y) & 0xFFFFFF, 0xFF00FFu) << x << "," << y;
                }
            }
            // Where the percentage is wider than the bar it covers the corners.
            if (size.width() >= 120) {
                EXPECT_EQ(image.pixelColor(0, 0), QColor(0x20, 0xC0, 0x40));
            }
        }
    }
}

// The outline is made once per size: a bar that grows or shrinks draws the
// picture a new bar of its new size draws.
TEST_F(AdvProgressBarTest, AResizedBarDrawsLikeANewOneOfItsSize)
{
    const QSize sizes[] = {{300, 21}, {BarWidth, 30}, {120, 16}, {BarWidth, BarHeight}};
    shownAt(100, 37);
    for (const QSize size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        bar->resize(size);
        settle();
        const QImage resized = shownAt(100, 63);

        QWidget otherBackdrop;
        otherBackdrop.setPalette(backdrop.palette());
        otherBackdrop.setAutoFillBackground(true);
        otherBackdrop.resize(backdrop.size());
        auto *fresh = new TAdvProgressBar(&otherBackdrop);
        fresh->setGeometry(QRect(bar->pos(), size));
        fresh->SetLevel0Color(Fill);
        fresh->SetMax(100);
        fresh->SetPosition(63);
        otherBackdrop.show();
        settle();
        EXPECT_EQ(
            resized,
            otherBackdrop.grab(fresh->geometry()).toImage().convertToFormat(QImage::Format_RGB32));
    }
}

TEST_F(AdvProgressBarTest, AllFourCornersAreRoundedAlike)
{
    const QColor backdrop(0x20, 0xC0, 0x40);
    const QImage image = shownAt(100, 0);
    // The top-left corner, 4 by 4: . backdrop, # outline, w white interior.
    const char *const corner[] = {"..##", ".#ww", "#www", "#www"};
    const auto expected = [&](char c) {
        return c == '.' ? backdrop : c == '#' ? QColor(Qt::black) : QColor(Qt::white);
    };
    const int r = BarWidth - 1, b = BarHeight - 1;
    struct Mirror
    {
        const char *name;
        bool flipX, flipY;
    };
    for (const Mirror m :
         {Mirror{"top left", false, false}, Mirror{"top right", true, false},
          Mirror{"bottom left", false, true}, Mirror{"bottom right", true, true}}) {
        SCOPED_TRACE(m.name);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const QPoint at(m.flipX ? r - x : x, m.flipY ? b - y : y);
                EXPECT_EQ(image.pixelColor(at), expected(corner[y][x])) << x << "," << y;
            }
    }
}

TEST_F(AdvProgressBarTest, FillEndsWhereThePercentageSays)
{
    struct Case
    {
        qint32 position;
        int right; // first column not filled
        int row;   // a row clear of the text
    };
    // The fill runs from column 2 to round(p * 447 / 100), excluded.
    const Case cases[] = {
        {1, 4, 10}, {10, 45, 10}, {50, 224, 3}, {90, 402, 10}, {100, 447, 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " %");
        const QImage image = shownAt(100, c.position);
        EXPECT_EQ(image.pixelColor(1, c.row), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(2, c.row), Fill);
        EXPECT_EQ(image.pixelColor(c.right - 1, c.row), Fill);
        EXPECT_EQ(image.pixelColor(c.right, c.row), QColor(Qt::white));
        // One white row above and below the fill.
        EXPECT_EQ(image.pixelColor(3, 1), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(3, 2), Fill);
        EXPECT_EQ(image.pixelColor(3, BarHeight - 3), Fill);
        EXPECT_EQ(image.pixelColor(3, BarHeight - 2), QColor(Qt::white));
    }
}

TEST_F(AdvProgressBarTest, PercentageTextRoundsHalvesToEven)
{
    struct Case
    {
        qint32 position; // of 1000
        int shownPercentage;
        int otherPercentage;
    };
    const Case cases[] = {{5, 0, 1}, {25, 2, 3}, {35, 4, 3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " of 1000");
        const QImage image = shownAt(1000, c.position);
        EXPECT_EQ(bar->Percentage(), c.shownPercentage);
        // The same picture as a bar standing at that whole percentage, and not the neighbour's.
        EXPECT_EQ(image, shownAt(100, c.shownPercentage));
        EXPECT_NE(image, shownAt(100, c.otherPercentage));
    }
}

TEST_F(AdvProgressBarTest, PercentageTextIsCentred)
{
    const QImage image = shownAt(100, 0);
    QRect ink;
    for (int y = 2; y < BarHeight - 2; ++y)
        for (int x = 2; x < BarWidth - 2; ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty()) << "no text drawn at 0 %";
    EXPECT_NEAR(ink.center().x(), BarWidth / 2, 2);
    EXPECT_NEAR(ink.center().y(), BarHeight / 2, 2);
    EXPECT_LE(ink.height(), TAdvProgressBar::PercentageCellHeight);
}

TEST_F(AdvProgressBarTest, PercentageFontIsVerdanaOrTheNearestSansSerif)
{
    const QFont font = bar->PercentageFont();
    EXPECT_LE(QFontMetrics(font).height(), TAdvProgressBar::PercentageCellHeight);
    EXPECT_GE(QFontMetrics(font).height(), TAdvProgressBar::PercentageCellHeight - 2);
    const QString expected = QFontDatabase::hasFamily(QStringLiteral("Verdana"))
                                 ? QStringLiteral("Verdana")
                                 : QStringLiteral("DejaVu Sans");
    EXPECT_EQ(QFontInfo(font).family(), expected);
}

TEST_F(AdvProgressBarTest, WithoutAMaximumTheBarStaysEmptyAtZeroPercent)
{
    const QImage empty = shownAt(100, 0);
    bar->SetMax(0);
    settle();
    const int redrawsBefore = bar->ImmediateRedraws();
    for (qint32 v : {1, 32768, 1 << 30}) {
        bar->SetPosition(v);
        EXPECT_EQ(bar->Position(), 0);
    }
    EXPECT_EQ(bar->ImmediateRedraws(), redrawsBefore);
    EXPECT_EQ(bar->Percentage(), 0);
    EXPECT_EQ(shown(), empty);
}

} // namespace
