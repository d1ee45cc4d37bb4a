#include "service/ExtractorInfo.h"

#include "service/FileNaming.h"

#include <gtest/gtest.h>

namespace {

const QString Unreadable = QStringLiteral("The extractor's answer is not readable.");
const QString NoVideo = QStringLiteral("The extractor found no video at this link.");

} // namespace

TEST(ExtractorInfo, AnswersThatAreNoVideoGiveTheirReason)
{
    const struct
    {
        QByteArray json;
        QString error;
    } cases[] = {
        {"", Unreadable},
        {"<html>no json</html>", Unreadable},
        {"[{\"title\": \"a list, not an object\"}]", Unreadable},
        {"{\"title\": \"cut off\", \"formats\": [", Unreadable},
        {"\"a string\"", Unreadable},
        {"{\"title\": \"no formats\"}", NoVideo},
        {"{\"title\": \"empty\", \"formats\": []}", NoVideo},
        {"{\"title\": \"formats of no object\", \"formats\": [1, \"x\", null]}", NoVideo},
        {"{\"_type\": \"playlist\", \"entries\": []}", NoVideo},
        {"{\"_type\": \"playlist\", \"entries\": [3]}", NoVideo},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.json.toStdString());
        const ExtractorInfoResult result = ParseExtractorInfo(c.json);
        EXPECT_FALSE(result.info);
        EXPECT_EQ(result.error, c.error);
    }
}

TEST(ExtractorInfo, ReadsEachFormatWithItsHeaders)
{
    const QByteArray json =
        R"({"title": "Caf\u00e9 clip", "http_headers": {"User-Agent": "video UA"},
        "formats": [
          {"format_id": "sb0", "url": "http://x/sb", "ext": "mhtml", "protocol": "mhtml",
           "vcodec": "none", "acodec": "none"},
          {"format_id": "140", "url": "https://x/a", "ext": "m4a", "protocol": "https",
           "vcodec": "none", "acodec": "mp4a.40.2", "tbr": 129.5},
          {"format_id": "hls", "url": "http://x/i.m3u8", "ext": "mp4", "protocol": "m3u8_native",
           "height": null, "http_headers": {"Referer": "http://x/page", "X-Number": 5}},
          {"format_id": "22", "url": "https://x/v", "ext": "mp4", "protocol": "https",
           "height": 720, "vcodec": "avc1", "acodec": "mp4a"},
          {"format_id": "odd", "height": -4, "tbr": "fast"}
        ]})";
    const ExtractorInfoResult result = ParseExtractorInfo(json);
    ASSERT_TRUE(result.info);
    const ExtractorInfo &info = *result.info;
    EXPECT_EQ(info.Title, QStringLiteral("Caf\u00e9 clip"));
    ASSERT_EQ(info.Formats.size(), 5);

    EXPECT_FALSE(info.Formats[0].HasVideo);
    EXPECT_FALSE(info.Formats[0].HasAudio);
    EXPECT_FALSE(info.Formats[1].HasVideo);
    EXPECT_TRUE(info.Formats[1].HasAudio);
    EXPECT_DOUBLE_EQ(info.Formats[1].Bitrate, 129.5);

    const ExtractorFormat &hls = info.Formats[2];
    EXPECT_EQ(hls.FormatId, QStringLiteral("hls"));
    EXPECT_EQ(hls.Protocol, QStringLiteral("m3u8_native"));
    EXPECT_EQ(hls.Height, 0);
    EXPECT_TRUE(hls.HasVideo); // unknown codecs count as present
    EXPECT_TRUE(hls.HasAudio);
    // A format's own headers replace the video's; values that are no text are left out.
    ASSERT_EQ(hls.Headers.size(), 1);
    EXPECT_EQ(hls.Headers[0].first, "Referer");
    EXPECT_EQ(hls.Headers[0].second, "http://x/page");

    const ExtractorFormat &direct = info.Formats[3];
    EXPECT_EQ(direct.Height, 720);
    EXPECT_EQ(direct.Url, QStringLiteral("https://x/v"));
    EXPECT_EQ(direct.Extension, QStringLiteral("mp4"));
    ASSERT_EQ(direct.Headers.size(), 1);
    EXPECT_EQ(direct.Headers[0].second, "video UA");

    EXPECT_EQ(info.Formats[4].Height, 0);
    EXPECT_EQ(info.Formats[4].Bitrate, 0);
}

TEST(ExtractorInfo, APlaylistCountsAsItsFirstVideoAndOneFormatMayStandInPlace)
{
    const ExtractorInfoResult playlist = ParseExtractorInfo(
        R"({"_type": "playlist", "title": "list", "entries": [
             {"title": "first", "formats": [{"format_id": "a", "url": "http://x/1"}]},
             {"title": "second", "formats": [{"format_id": "b", "url": "http://x/2"}]}]})");
    ASSERT_TRUE(playlist.info);
    EXPECT_EQ(playlist.info->Title, QStringLiteral("first"));
    ASSERT_EQ(playlist.info->Formats.size(), 1);
    EXPECT_EQ(playlist.info->Formats[0].FormatId, QStringLiteral("a"));
    // Entries described in place have no link of their own: no list to offer.
    EXPECT_FALSE(playlist.list);

    // Read flat: the entries' own links (only web ones), and no video.
    const ExtractorInfoResult flat = ParseExtractorInfo(
        R"({"_type": "playlist", "title": "Mix", "id": "PL1", "entries": [
             {"_type": "url", "id": "v1", "url": "https://site.test/watch?v=v1"},
             {"_type": "url_transparent", "url": "http://site.test/page"},
             {"_type": "url", "id": "v3", "url": "file:///etc/passwd"},
             {"title": "in place", "webpage_url": "https://site.test/v4", "url": "http://cdn/4"}]})");
    EXPECT_FALSE(flat.info);
    ASSERT_TRUE(flat.list);
    EXPECT_EQ(flat.list->Title, QStringLiteral("Mix"));
    QStringList entries;
    for (const ExtractorListEntry &entry : flat.list->Entries)
        entries << entry.Id + QLatin1Char(' ') + entry.Link;
    EXPECT_EQ(entries, (QStringList{QStringLiteral("v1 https://site.test/watch?v=v1"),
                                    QStringLiteral(" http://site.test/page"),
                                    QStringLiteral(" https://site.test/v4")}));
    EXPECT_EQ(ListFolderName(QStringLiteral("..a/b"), {}), QStringLiteral("a_b"));
    EXPECT_EQ(ListFolderName(QStringLiteral(". .hidden"), {}), QStringLiteral("hidden"));
    EXPECT_EQ(ListFolderName(QStringLiteral(" .. "), QStringLiteral("PL1")), QStringLiteral("PL1"));
    EXPECT_EQ(ListFolderName({}, {}), QStringLiteral("Video list"));

    const ExtractorInfoResult single = ParseExtractorInfo(
        R"({"title": "one", "format_id": "0", "url": "http://x/v.webm", "ext": "webm",
            "protocol": "http", "height": 480})");
    ASSERT_TRUE(single.info);
    ASSERT_EQ(single.info->Formats.size(), 1);
    EXPECT_EQ(single.info->Formats[0].Extension, QStringLiteral("webm"));
    EXPECT_EQ(single.info->Formats[0].Height, 480);
}
