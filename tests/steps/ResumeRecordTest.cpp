#include "steps/ResumeRecord.h"

#include "steps/RetryPolicy.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(ResumeRecordTest, ARecordReadsBackAsWritten)
{
    const ResumeRecord records[] = {
        {QStringLiteral("/videos/vidlark0009/34.flv?id=vidlark0009&itag=34"), "\"bulk-1-v0\"",
         268435456, false, -1},
        {QStringLiteral("/bulk/1000"), "Wed, 09 Dec 2026 13:00:00 GMT", 1000, true, 999},
        {QStringLiteral("/caf\u00E9"), "\"x\"", 1, false, 0},
        // Several connections' bytes, with gaps between them.
        {QStringLiteral("/bulk/9000"), "\"v\"", 9000, false, 1000, {{0, 1000}, {4096, 8192}}},
        {QStringLiteral("/bulk/9000"), "\"v\"", 9000, false, 0, {{10, 20}, {21, 9000}}},
    };
    for (const ResumeRecord &record : records) {
        SCOPED_TRACE(record.identity.toStdString());
        EXPECT_EQ(parseResumeRecord(formatResumeRecord(record)), record);
    }
    // A value never breaks into a second line.
    const ResumeRecord sneaky{QStringLiteral("/a\nin: target"), "\"v\"\nheld: 5", 10, false, -1};
    const std::optional<ResumeRecord> read = parseResumeRecord(formatResumeRecord(sneaky));
    ASSERT_TRUE(read.has_value());
    EXPECT_FALSE(read->inTarget);
    EXPECT_EQ(read->held, -1);
}

TEST(ResumeRecordTest, AnythingButAWholeRecordIsNone)
{
    const QByteArray good = "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\n"
                            "in: part\n";
    ASSERT_TRUE(parseResumeRecord(good).has_value());
    const char *bad[] = {
        "",
        "Vidlark partial download 2\nstream: /s\nvalidator: \"v\"\ntotal: 10\n",
        "stream: /s\nvalidator: \"v\"\ntotal: 10\n",
        "Vidlark partial download 1\nvalidator: \"v\"\ntotal: 10\n",  // no stream
        "Vidlark partial download 1\nstream: /s\ntotal: 10\n",        // no validator
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\n", // no total
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 0\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: -10\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 99999999999999999999\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nin: disk\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nheld: x\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nheld: 11\n",
        // Extents out of order, touching, empty, past the total, or at odds with held.
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nheld: 0\n"
        "extents: 5-7 1-2\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nheld: 0\n"
        "extents: 1-2 2-3\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nheld: 0\n"
        "extents: 3-3\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nheld: 0\n"
        "extents: 3-11\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nheld: 0\n"
        "extents: 0-4 6-8\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\n"
        "extents: 2-4\n",
        "Vidlark partial download 1\nstream: /s\nvalidator: \"v\"\ntotal: 10\nheld: 0\n"
        "extents: 2-4 x\n",
    };
    for (const char *text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseResumeRecord(text).has_value());
    }
    EXPECT_FALSE(parseResumeRecord(good + QByteArray(9000, 'x')).has_value());
}

TEST(ResumeRecordTest, TheStreamIsNamedWithoutWhatChangesFromLookupToLookup)
{
    const struct
    {
        const char *url;
        const char *identity;
    } cases[] = {
        {"http://v1.lscache.sample.test/videos/vidlark0009/34.flv?id=vidlark0009&itag=34"
         "&expire=1300000000",
         "/videos/vidlark0009/34.flv?id=vidlark0009&itag=34"},
        {"http://v7.lscache.sample.test/videoplayback?id=abc&itag=34&sig=1A.2B&ip=1.2.3.4"
         "&ipbits=8&sparams=id,itag&key=yt1&signature=X",
         "/videoplayback?id=abc&itag=34"},
        {"http://127.0.0.1:8080/bulk/1000", "/bulk/1000"},
        {"http://127.0.0.1:8080/bulk/1000?mode=chunked", "/bulk/1000?mode=chunked"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(StreamIdentity(QString::fromLatin1(c.url)), QString::fromLatin1(c.identity));
    }
    EXPECT_NE(StreamIdentity(QStringLiteral("http://h/videoplayback?id=abc&itag=34")),
              StreamIdentity(QStringLiteral("http://h/videoplayback?id=abc&itag=5")));
}

TEST(RetryPolicyTest, PausesDoubleUpToTheCapAndFollowRetryAfter)
{
    RetryPolicy policy; // 1 s, doubling, at most 30 s; Retry-After at most 60 s
    HttpResult cut;
    cut.failure = HttpFailure::Cut;
    const struct
    {
        int next;
        std::chrono::milliseconds delay;
    } backoff[] = {{2, 1s}, {3, 2s}, {4, 4s}, {5, 8s}, {6, 16s}, {7, 30s}, {40, 30s}};
    for (const auto &c : backoff) {
        SCOPED_TRACE(c.next);
        EXPECT_EQ(policy.delayBefore(c.next, cut), c.delay);
    }
    HttpResult busy;
    busy.failure = HttpFailure::Status;
    busy.status = 503;
    busy.retryAfter = 7;
    EXPECT_EQ(policy.delayBefore(2, busy), 7s);
    busy.retryAfter = 0;
    EXPECT_EQ(policy.delayBefore(4, busy), 0s);
    busy.retryAfter = 86400;
    EXPECT_EQ(policy.delayBefore(2, busy), 60s);
    // As many seconds as the header can carry: still the cap, not an overflow.
    busy.retryAfter = 9999999999999999;
    EXPECT_EQ(policy.delayBefore(2, busy), 60s);
    busy.retryAfter = -1;
    EXPECT_EQ(policy.delayBefore(3, busy), 2s);
}

TEST(RetryPolicyTest, OnlyFailuresThatMayPassAreTransient)
{
    const struct
    {
        HttpFailure failure;
        int status;
        bool transient;
    } cases[] = {
        {HttpFailure::Network, 0, true},    {HttpFailure::Cut, 200, true},
        {HttpFailure::Status, 408, true},   {HttpFailure::Status, 429, true},
        {HttpFailure::Status, 500, true},   {HttpFailure::Status, 502, true},
        {HttpFailure::Status, 503, true},   {HttpFailure::Status, 504, true},
        {HttpFailure::Status, 400, false},  {HttpFailure::Status, 403, false},
        {HttpFailure::Status, 404, false},  {HttpFailure::Status, 416, false},
        {HttpFailure::Status, 501, false},  {HttpFailure::Status, 302, false},
        {HttpFailure::Storage, 200, false}, {HttpFailure::Stopped, 200, false},
        {HttpFailure::Refused, 0, false},   {HttpFailure::TooLarge, 200, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.status);
        HttpResult result;
        result.failure = c.failure;
        result.status = c.status;
        EXPECT_EQ(isTransient(result), c.transient);
    }
}

} // namespace

#include "steps/PartialFile.h"

namespace {

TEST(PartialFileNamesTest, SideFilesFitBesideAnyNameThatFits)
{
    const QString folder = QStringLiteral("/save/");
    EXPECT_EQ(PartialFile::partPath(folder + QStringLiteral("Clip.flv")),
              QStringLiteral("/save/Clip.flv.part"));
    EXPECT_EQ(PartialFile::recordPath(folder + QStringLiteral("Clip.flv")),
              QStringLiteral("/save/Clip.flv.resume"));
    // 251 bytes of three-byte characters plus the extension: the longest name.
    const QString longest = QString(82, QChar(0x6F22)) + QStringLiteral("a.flv");
    const QString other = QString(82, QChar(0x6F22)) + QStringLiteral("b.flv");
    ASSERT_EQ(longest.toUtf8().size(), 251);
    for (const QString &side :
         {PartialFile::partPath(folder + longest), PartialFile::recordPath(folder + longest)}) {
        SCOPED_TRACE(side.toStdString());
        EXPECT_TRUE(side.startsWith(folder + QString(70, QChar(0x6F22))));
        EXPECT_LE(side.mid(folder.size()).toUtf8().size(), 255);
    }
    EXPECT_NE(PartialFile::partPath(folder + longest), PartialFile::partPath(folder + other));
    EXPECT_NE(PartialFile::partPath(folder + longest), PartialFile::recordPath(folder + longest));
}

} // namespace
