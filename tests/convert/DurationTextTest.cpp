#include "convert/DurationText.h"

#include "job/TimeTexts.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

TEST(DurationTextTest, ReadsTheDurationFromTheReadsThatCarryIt)
{
    struct Case
    {
        const char *name;
        std::vector<const char *> chunks; // the last one may complete the text
        bool waitedTooLong;
        std::optional<QString> text; // after the last chunk; nothing: still unknown
        qint32 total;
    };
    const Case cases[] = {
        {"whole line",
         {"  Duration: 00:03:33.45, start: 0.000000"},
         false,
         QStringLiteral("00:03:33"),
         213},
        {"first marker counts",
         {"Duration: 00:00:10.00 Duration: 00:00:20.00"},
         false,
         QStringLiteral("00:00:10"),
         10},
        {"not available",
         {"  Duration: N/A, start: 0.000000"},
         false,
         QStringLiteral("N/A, sta"),
         0},
        // FFmpeg's own writes: marker, time and the rest come as separate reads.
        {"cut behind the space",
         {"  Duration: ", "00:00:02.05"},
         false,
         QStringLiteral("00:00:02"),
         2},
        {"cut inside the time",
         {"  Duration: 00:0", "1:00.00, s"},
         false,
         QStringLiteral("00:01:00"),
         60},
        {"cut behind the marker",
         {"Duration:", " 01:00:00.00"},
         false,
         QStringLiteral("01:00:00"),
         3600},
        {"cut, several short reads",
         {"Duration: ", "0", "0:0", "0:0", "9.00"},
         false,
         QStringLiteral("00:00:09"),
         9},
        {"cut, not available",
         {"  Duration: ", "N/A", ", start: "},
         false,
         QStringLiteral("N/A, sta"),
         0},
        {"still cut", {"  Duration: ", "00:0"}, false, std::nullopt, 0},
        // No marker: wait until the converter has had its time, then take characters 10 to 17.
        {"no marker yet", {"frame=1 time=1.00 bitrate=1"}, false, std::nullopt, 0},
        {"no marker in time", {"0123456789ABCDEFGHIJ"}, true, QStringLiteral("9ABCDEFG"), 0},
        {"no marker, short read", {"short"}, true, QString(), 0},
        {"case matters", {"  duration: 00:03:33.45"}, false, std::nullopt, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DurationText duration;
        bool known = false;
        for (const char *chunk : c.chunks) {
            ASSERT_FALSE(known) << "known before its last read";
            known = duration.take(QString::fromLatin1(chunk), c.waitedTooLong);
        }
        EXPECT_EQ(known, c.text.has_value());
        if (c.text) {
            EXPECT_EQ(duration.text(), *c.text);
            EXPECT_EQ(TimeToSec(duration.text()), c.total);
        }
    }
}
