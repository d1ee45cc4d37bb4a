#include "service/StreamMap.h"

#include <gtest/gtest.h>

namespace {

QString page(const QString &value)
{
    return QStringLiteral("<script>var cfg = {\"args\": {\"url_encoded_fmt_stream_map\": \"") +
           value + QStringLiteral("\", \"other\": \"x\"}};</script>");
}

} // namespace

TEST(StreamMap, KeyAndValueAreFoundOrMissing)
{
    EXPECT_FALSE(StreamMapEntries(QStringLiteral("<html>no map here</html>")).has_value());
    // Without its quotes the key does not count.
    EXPECT_FALSE(
        StreamMapEntries(QStringLiteral("url_encoded_fmt_stream_map: \"a,b\"")).has_value());
    EXPECT_EQ(*StreamMapEntries(page(QStringLiteral("a,b"))),
              QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    // The character right after the key is skipped, whatever it is.
    EXPECT_EQ(*StreamMapEntries(QStringLiteral("\"url_encoded_fmt_stream_map\"\"\"x,y\"")),
              QStringList({QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_TRUE(
        StreamMapEntries(QStringLiteral("\"url_encoded_fmt_stream_map\"\"x,y\""))->isEmpty());
    EXPECT_EQ(*StreamMapEntries(QStringLiteral("\"url_encoded_fmt_stream_map\":\"x,y\"")),
              QStringList({QStringLiteral("x"), QStringLiteral("y")}));
    // Only the first occurrence of the key is read.
    EXPECT_EQ(*StreamMapEntries(page(QStringLiteral("first")) + page(QStringLiteral("second"))),
              QStringList({QStringLiteral("first")}));
    // An empty value, or one without its closing quote, holds no entries.
    EXPECT_TRUE(StreamMapEntries(page(QString()))->isEmpty());
    EXPECT_TRUE(
        StreamMapEntries(QStringLiteral("\"url_encoded_fmt_stream_map\": \"a,b"))->isEmpty());
    EXPECT_TRUE(StreamMapEntries(QStringLiteral("\"url_encoded_fmt_stream_map\": a,b"))->isEmpty());
}

TEST(StreamMap, SplitsAtCommasAndBlanks)
{
    const struct
    {
        QString value;
        QStringList entries;
    } cases[]{
        {QStringLiteral("a,b,c"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {QStringLiteral("  a , b  "), {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("a b"), {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("a\tb\nc"),
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {QStringLiteral("a,,b"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral("a,"), {QStringLiteral("a"), QString()}},
        {QStringLiteral("a, "), {QStringLiteral("a")}},
        {QStringLiteral(",a"), {QString(), QStringLiteral("a")}},
        {QStringLiteral("  "), {}},
        {QString(), {}},
        {QStringLiteral("a\\u0026b,c"), {QStringLiteral("a\\u0026b"), QStringLiteral("c")}},
        {QString::fromUtf16(u"a,b\0,c", 6), {QStringLiteral("a"), QStringLiteral("b")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(SplitStreamMap(c.value), c.entries);
    }
}

TEST(StreamMap, FirstEntryWithTheCodeWins)
{
    const QStringList entries{QStringLiteral("itag=22\\u0026url=a"),
                              QStringLiteral("itag=18\\u0026url=b"),
                              QStringLiteral("itag=5\\u0026url=c")};
    EXPECT_EQ(FindStreamEntry(entries, QStringLiteral("itag=18")), 1);
    EXPECT_EQ(FindStreamEntry(entries, QStringLiteral("itag=5")), 2);
    EXPECT_EQ(FindStreamEntry(entries, QStringLiteral("itag=37")), -1);
    EXPECT_EQ(FindStreamEntry({}, QStringLiteral("itag=5")), -1);
    // A plain substring: "itag=5" is found inside "itag=52".
    EXPECT_EQ(FindStreamEntry({QStringLiteral("itag=52"), QStringLiteral("itag=5")},
                              QStringLiteral("itag=5")),
              0);
    EXPECT_EQ(FindStreamEntry({QStringLiteral("ITAG=5")}, QStringLiteral("itag=5")), -1);
}

TEST(StreamMap, EntryBecomesDecodedUrlWithSignature)
{
    const struct
    {
        QString entry;
        std::optional<QString> url;
    } cases[]{
        {QStringLiteral("itag=5\\u0026url=http%3A%2F%2Fs.test%2Fv%3Fa%253D1%2526b%253D2"
                        "\\u0026sig=ABC.DEF"),
         QStringLiteral("http://s.test/v?a=1&b=2&signature=ABC.DEF")},
        // "\/" becomes "/" before decoding.
        {QStringLiteral("url=http:\\/\\/s.test\\/v%3Fid%253Dx\\u0026itag=34"),
         QStringLiteral("http://s.test/v?id=x")},
        // No "sig=": no signature part.
        {QStringLiteral("itag=18\\u0026url=http%3A%2F%2Fs.test%2Fb"),
         QStringLiteral("http://s.test/b")},
        // The signature ends at the next backslash and is taken unchanged.
        {QStringLiteral("sig=A%2BB\\u0026url=u\\u0026itag=5"), QStringLiteral("u&signature=A%2BB")},
        {QStringLiteral("url=a+b%2520c"), QStringLiteral("a b c")},
        {QStringLiteral("url="), QString()},
        {QStringLiteral("itag=5\\u0026type=video"), std::nullopt},
        {QString(), std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entry.toStdString());
        EXPECT_EQ(StreamUrlOfEntry(c.entry), c.url);
    }
}
