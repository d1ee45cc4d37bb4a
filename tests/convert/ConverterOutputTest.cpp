#include "convert/ConverterOutput.h"

#include "convert/NumberReadingError.h"

#include <gtest/gtest.h>

namespace {

QString text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

} // namespace

TEST(ConverterOutputTest, ChunkTextIsWindows1252CutAtTheFirstNul)
{
    EXPECT_EQ(chunkText(QByteArray("time=1\0 junk", 12)), text("time=1"));
    EXPECT_EQ(chunkText(QByteArray("\x80 \xe9 \x9f")), QString::fromUtf8("\u20ac \u00e9 \u0178"));
    EXPECT_EQ(chunkText(QByteArray()), QString());
}

TEST(ConverterOutputTest, ProgressSeconds)
{
    struct Case
    {
        const char *chunk;
        qint32 total;
        std::optional<qint32> seconds;
    };
    const Case cases[] = {
        {"frame=  10 fps=0.0 q=2.0 size= 1kB time=12.34 bitrate= 5.0kbits/s", 213, 12},
        // Current FFmpeg writes hours:minutes:seconds.
        {"frame=  75 Lsize= 125kB time=00:00:03.04 bitrate= 336.7kbits/s", 213, 3},
        {"time=01:02:03.40 x", 7200, 3723},
        {"time=00:00:49 x", 213, 49},
        // Halves go to the even neighbour.
        {"time=2.5 x", 213, 2},
        {"time=3.5 x", 213, 4},
        {"time=00:00:49.50 x", 213, 50},
        {"time=00:01:10.50 x", 213, 70},
        {"time=.5 x", 213, 0},
        {"time=12. x", 213, 12},
        // Never beyond the total, not even for FFmpeg's negative start value.
        {"time=300.00 x", 213, 213},
        {"time=-577014:32:22.77 bitrate=N/A", 213, 213},
        // What stands between the marker and the number is skipped.
        {"time=  7.0 x", 213, 7},
        {"time=N/A bitrate=N/A speed=N/A    \rframe= 25 time", 213, 25},
        // The first marker of a chunk with several progress lines.
        {"time=1.00 x\rframe= 5 time=9.00 y", 213, 1},
        // No progress.
        {"time=12.34 x", 0, std::nullopt},
        {"frame= 10 fps=0.0", 213, std::nullopt},
        {"size= 1kB time=", 213, std::nullopt},
        {"size= 1kB time=12.3", 213, std::nullopt},
        {"time=1", 213, std::nullopt},
        {"time=1 ", 213, 1},
        {"time=N/A bitrate=N/A\r", 213, std::nullopt},
        {"TIME=12.00 x", 213, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chunk);
        EXPECT_EQ(progressSeconds(text(c.chunk), c.total), c.seconds);
    }
}

TEST(ConverterOutputTest, UnreadableProgressNumberIsANumberReadingError)
{
    const char *chunks[] = {
        "time=N/A bitrate=N/A speed=1.5x x",
        "time=1,5 x",
        "time=,5 x",
        "time=12:34 x",
        "time=1.2.3 x",
        "time=00:0a:00.00 x",
        "time=00:00:00,50 x",
        "time=.. x",
    };
    for (const char *chunk : chunks) {
        SCOPED_TRACE(chunk);
        EXPECT_THROW(progressSeconds(text(chunk), 213), NumberReadingError);
    }
}
