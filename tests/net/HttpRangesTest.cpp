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
