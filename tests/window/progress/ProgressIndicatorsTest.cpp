#include "window/ProgressIndicators.h"

#include "RecordingTaskbarProgress.h"
#include "window/AdvProgressBar.h"

#include <QApplication>
#include <QImage>

#include <functional>
#include <gtest/gtest.h>

namespace {

const QColor DownloadColour(0xA0, 0xB7, 0xD4);
const QColor ConversionColour(0xFF, 0xB3, 0x66);

class ProgressIndicatorsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar.resize(449, 21);
        bar.show();
        QApplication::processEvents();
    }

    // The calls the launcher display received since the last look.
    QStringList taken()
    {
        QStringList calls = taskbar.calls;
        taskbar.calls.clear();
        return calls;
    }

    TAdvProgressBar bar;
    RecordingTaskbarProgress taskbar;
    ProgressIndicators indicators{bar, taskbar};
};

QStringList lines(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list.append(QLatin1String(text));
    return list;
}

TEST_F(ProgressIndicatorsTest, OneJobMovesBarAndLauncherInStep)
{
    struct Step
    {
        const char *what;
        std::function<void(ProgressIndicators &)> apply;
        qint32 position, max;
        QColor colour;
        QStringList taskbar;
    };
    const Step steps[] = {
        {"job starts", [](auto &p) { p.BeginDownloadProgress(); }, 0, 100, DownloadColour,
         lines({"state Normal", "value 0 of 100"})},
        {"transfer begins",
         [](auto &p) { p.setBarPosition(0), p.SetProgressMaximum(4000); },
         0,
         4000,
         DownloadColour,
         {}},
        {"transfer step", [](auto &p) { p.ShowTransferProgress(1000, 4000); }, 1000, 4000,
         DownloadColour, lines({"state Normal", "value 1000 of 4000"})},
        {"transfer done", [](auto &p) { p.ShowTransferProgress(4000, 4000); }, 4000, 4000,
         DownloadColour, lines({"state Normal", "value 4000 of 4000"})},
        {"conversion begins", [](auto &p) { p.BeginConversionProgress(); }, 0, 4000,
         ConversionColour, lines({"state Paused", "value 0 of 100"})},
        {"duration known", [](auto &p) { p.SetProgressMaximum(95); }, 0, 95, ConversionColour, {}},
        {"conversion step", [](auto &p) { p.ShowConversionProgress(40, 95); }, 40, 95,
         ConversionColour, lines({"state Paused", "value 40 of 95"})},
        {"conversion done", [](auto &p) { p.ShowConversionProgress(95, 95); }, 95, 95,
         ConversionColour, lines({"state Paused", "value 95 of 95"})},
        {"job ends", [](auto &p) { p.EndTaskbarProgress(); }, 95, 95, ConversionColour,
         lines({"state NoProgress"})},
        {"next job starts", [](auto &p) { p.BeginDownloadProgress(); }, 0, 95, DownloadColour,
         lines({"state Normal", "value 0 of 100"})},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.apply(indicators);
        EXPECT_EQ(bar.Position(), step.position);
        EXPECT_EQ(bar.Max(), step.max);
        EXPECT_EQ(bar.Level0Color(), step.colour);
        EXPECT_EQ(taken(), step.taskbar);
    }
}

TEST_F(ProgressIndicatorsTest, TransferWithoutSizeLeavesLauncherAtTheStart)
{
    indicators.BeginDownloadProgress();
    indicators.setBarPosition(0);
    indicators.SetProgressMaximum(0);
    taken();
    for (qint64 done : {32768, 65536, 1000000})
        indicators.ShowTransferProgress(done, 0);
    EXPECT_TRUE(taken().isEmpty());
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Percentage(), 0);
}

TEST_F(ProgressIndicatorsTest, ByteCountsKeepTheirWidths)
{
    struct Case
    {
        const char *what;
        qint64 done;
        quint32 total;
        qint32 position, max;
        const char *value;
    };
    const Case cases[] = {
        // The bar gets the low 32 bits of the count; the launcher the whole count.
        {"past 4 GiB", 4294967296LL + 1000, 2000000000u, 1000, 2000000000,
         "value 4294968296 of 2000000000"},
        {"largest size the bar holds", 2147483647, 2147483647u, 2147483647, 2147483647,
         "value 2147483647 of 2147483647"},
        // Beyond the bar's range the bar counts pairs of bytes.
        {"3 GB announced", 1500000000, 3000000000u, 750000000, 1500000000,
         "value 1500000000 of 3000000000"},
        {"largest announced size", 4294967295LL, 4294967295u, 2147483647, 2147483647,
         "value 4294967295 of 4294967295"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        indicators.BeginDownloadProgress();
        indicators.setBarPosition(0);
        indicators.SetProgressMaximum(qint32(c.total));
        taken();
        indicators.ShowTransferProgress(c.done, c.total);
        EXPECT_EQ(bar.Position(), c.position);
        EXPECT_EQ(bar.Max(), c.max);
        EXPECT_GE(bar.Percentage(), 0);
        EXPECT_LE(bar.Percentage(), 100);
        EXPECT_EQ(taken(), lines({"state Normal", c.value}));
    }
}

TEST_F(ProgressIndicatorsTest, ConverterSecondsAreWidenedWithTheirSign)
{
    indicators.BeginConversionProgress();
    taken();
    indicators.ShowConversionProgress(-1, 60);
    EXPECT_EQ(bar.Position(), 0); // clamped to Min
    EXPECT_EQ(taken(), lines({"state Paused", "value 18446744073709551615 of 60"}));
}

TEST_F(ProgressIndicatorsTest, ConversionColourStaysAfterTheJob)
{
    indicators.BeginDownloadProgress();
    indicators.BeginConversionProgress();
    indicators.SetProgressMaximum(10);
    indicators.ShowConversionProgress(10, 10);
    indicators.EndTaskbarProgress();
    QApplication::processEvents();
    const QImage image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(3, 3), ConversionColour);
    EXPECT_EQ(image.pixelColor(446, 10), ConversionColour);
    EXPECT_EQ(bar.Percentage(), 100);
    EXPECT_EQ(taskbar.calls.last(), QStringLiteral("state NoProgress"));
}

TEST(ProgressIndicatorsWithoutLauncher, BarWorksAlone)
{
    TAdvProgressBar bar;
    NoTaskbarProgress none;
    ProgressIndicators indicators(bar, none);
    EXPECT_FALSE(indicators.SupportTaskBar());
    indicators.BeginDownloadProgress();
    indicators.SetProgressMaximum(200);
    indicators.ShowTransferProgress(100, 200);
    EXPECT_EQ(bar.Percentage(), 50);
    indicators.BeginConversionProgress();
    indicators.ShowConversionProgress(5, 10);
    indicators.EndTaskbarProgress();
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(bar.Level0Color(), ConversionColour);
}

} // namespace
