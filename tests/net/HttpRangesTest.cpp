#include "net/HttpRanges.h"

#include "net/ResponseHead.h"

#include <gtest/gtest.h>

namespace {

TEST(HttpRangesTest, ContentRangeIsTakenOnlyInItsExactForm)
{
    const struct
    {
        const char *value;
        bool valid;
        qint64 first, last, total;
    } cases[] = {
        {"bytes 0-99/100", true, 0, 99, 100},
        {"bytes 100-199/1000", true, 100, 199, 1000},
        {"  BYTES 5-5/6 ", true, 5, 5, 6},
        {"bytes 7-9/*", true, 7, 9, -1},
        {"bytes 1073741000-1073741823/1073741824", true, 1073741000, 1073741823, 1073741824},
        {"bytes */1000", false, 0, 0, 0},    // the form a 416 carries
        {"bytes 10-5/100", false, 0, 0, 0},  // backwards
        {"bytes 0-100/100", false, 0, 0, 0}, // past its total
        {"bytes 0-99/", false, 0, 0, 0},
        {"bytes -5-99/100", false, 0, 0, 0},
        {"bytes +0-99/100", false, 0, 0, 0},
        {"bytes 0-99/100x", false, 0, 0, 0},
        {"items 0-99/100", false, 0, 0, 0},
        {"bytes 0- 99/100", false, 0, 0, 0},
        {"bytes 0-99999999999999999999/*", false, 0, 0, 0}, // too large to hold
        {"", false, 0, 0, 0},
        {"bytes ", false, 0, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        const std::optional<ContentRange> range = parseContentRange(c.value);
        ASSERT_EQ(range.has_value(), c.valid);
        if (!range)
            continue;
        EXPECT_EQ(range->first, c.first);
        EXPECT_EQ(range->last, c.last);
        EXPECT_EQ(range->total, c.total);
    }
}

TEST(HttpRangesTest, RetryAfterInSecondsOrAsADate)
{
    const QDateTime now(QDate(2026, 12, 9), QTime(13, 0, 0), Qt::UTC);
    const struct
    {
        const char *value;
        std::optional<qint64> seconds;
    } cases[] = {
        {"120", 120},
        {" 0 ", 0},
        {"Wed, 09 Dec 2026 13:00:30 GMT", 30},
        {"Wed, 09 Dec 2026 12:59:00 GMT", 0}, // already passed
        {"Thu, 10 Dec 2026 13:00:00 GMT", 86400},
        {"-5", std::nullopt},
        {"1.5", std::nullopt},
        {"soon", std::nullopt},
        {"", std::nullopt},
        {"Wed, 09 Dec 2026 13:00:30 CET", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(parseRetryAfter(c.value, now), c.seconds);
    }
}

TEST(HttpRangesTest, OnlyAQuotedNonWeakEtagIsStrong)
{
    EXPECT_TRUE(isStrongEtag("\"bulk-1000-v0\""));
    EXPECT_TRUE(isStrongEtag("\"\""));
    EXPECT_FALSE(isStrongEtag("W/\"bulk-1000-v0\""));
    EXPECT_FALSE(isStrongEtag("bulk-1000-v0"));
    EXPECT_FALSE(isStrongEtag("\""));
    EXPECT_FALSE(isStrongEtag(""));
}

TEST(HttpRangesTest, TheHeadKeepsWhatResumeAndRetriesNeed)
{
    ResponseHead head;
    for (const char *line : {"HTTP/1.1 206 Partial Content\r\n", "etag: \"v1\"\r\n",
                             "Last-Modified: Wed, 09 Dec 2026 13:00:00 GMT\r\n",
                             "Content-Range: bytes 5-9/10\r\n", "Retry-After:  7 \r\n", "\r\n"})
        head.addLine(QByteArrayView(line));
    EXPECT_EQ(head.status, 206);
    EXPECT_EQ(head.etag, "\"v1\"");
    EXPECT_EQ(head.lastModified, "Wed, 09 Dec 2026 13:00:00 GMT");
    EXPECT_EQ(head.contentRange, "bytes 5-9/10");
    EXPECT_EQ(head.retryAfter, "7");
    // A later head (after a 100 Continue or a redirect) starts empty.
    head.addLine(QByteArrayView("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(head.etag.isEmpty());
    EXPECT_TRUE(head.contentRange.isEmpty());
}

} // namespace

namespace {

TEST(HttpRangesTest, OnlyA206OfTheRangeAskedContinuesWhatIsHeld)
{
    const RangeAsk held{600, "\"v1\"", 1000};
    const struct
    {
        const char *name;
        const char *head;
        RangeAsk ask;
        RangeVerdict verdict;
    } cases[] = {
        {"the rest, same version",
         "206\nContent-Range: bytes 600-999/1000\nETag: \"v1\"\n"
         "Content-Length: 400",
         held, RangeVerdict::Continues},
        {"a server that leaves the validator out", "206\nContent-Range: bytes 600-999/1000", held,
         RangeVerdict::Continues},
        {"a 200: the whole body", "200\nContent-Length: 1000", held, RangeVerdict::Whole},
        {"another start", "206\nContent-Range: bytes 0-999/1000", held, RangeVerdict::Mismatch},
        {"another total", "206\nContent-Range: bytes 600-1099/1100", held, RangeVerdict::Mismatch},
        {"another version", "206\nContent-Range: bytes 600-999/1000\nETag: \"v2\"", held,
         RangeVerdict::Mismatch},
        {"a length that is not the range's",
         "206\nContent-Range: bytes 600-999/1000\n"
         "Content-Length: 10",
         held, RangeVerdict::Mismatch},
        {"an unreadable range", "206\nContent-Range: bytes 600-/1000", held,
         RangeVerdict::Mismatch},
        {"a 206 of all of it nobody asked for", "206\nContent-Range: bytes 0-999/1000", RangeAsk{},
         RangeVerdict::Whole},
        {"a 206 of a part nobody asked for", "206\nContent-Range: bytes 0-99/1000", RangeAsk{},
         RangeVerdict::Mismatch},
        {"a dated validator compared as such",
         "206\nContent-Range: bytes 600-999/1000\nLast-Modified: Tue, 01 Dec 2026 10:00:00 GMT",
         RangeAsk{600, "Mon, 30 Nov 2026 10:00:00 GMT", 1000}, RangeVerdict::Mismatch},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ResponseHead head;
        for (const QByteArray &line : QByteArray(c.head).split('\n'))
            head.addLine(head.status ? line + "\r\n" : "HTTP/1.1 " + line + " X\r\n");
        head.addLine("\r\n");
        ASSERT_TRUE(head.complete);
        EXPECT_EQ(judgeRangeAnswer(head, c.ask), c.verdict);
    }
}

} // namespace
