#include "service/ExtractorFormats.h"

#include <gtest/gtest.h>

namespace {

enum Fetch
{
    Own,
    Extractor
};

ExtractorFormat format(const char *id, int height, const char *ext, const char *protocol,
                       bool video = true, bool audio = true, double tbr = 0)
{
    ExtractorFormat f;
    f.FormatId = QString::fromLatin1(id);
    f.Height = height;
    f.Extension = QString::fromLatin1(ext);
    f.Protocol = QString::fromLatin1(protocol);
    f.Url = QStringLiteral("https://media.test/") + f.FormatId;
    f.HasVideo = video;
    f.HasAudio = audio;
    f.Bitrate = tbr;
    f.Headers = {{"Referer", "https://page.test/"}};
    return f;
}

// A video of today's kind: progressive 360p MP4 and 240p 3GP, DASH video
// alone at every height, audio alone, a storyboard; worst first.
const QList<ExtractorFormat> Dash = {
    format("sb0", 45, "mhtml", "mhtml", true, false),
    format("17", 144, "3gp", "https", true, true, 80),
    format("139", 0, "m4a", "https", false, true, 48),
    format("140", 0, "m4a", "https", false, true, 129),
    format("251", 0, "webm", "https", false, true, 160),
    format("133", 240, "mp4", "https", true, false, 150),
    format("242", 240, "webm", "https", true, false, 140),
    format("18", 360, "mp4", "https", true, true, 500),
    format("134", 360, "mp4", "https", true, false, 300),
    format("244", 480, "webm", "https", true, false, 700),
    format("135", 480, "mp4", "https", true, false, 650),
    format("136", 720, "mp4", "http_dash_segments", true, false, 1200),
    format("247", 720, "webm", "https", true, false, 1300),
    format("299", 1080, "mp4", "https", true, false, 4000),
    format("303", 1080, "webm", "https", true, false, 4200),
    format("315", 2160, "webm", "https", true, false, 16000),
};

} // namespace

TEST(ExtractorFormats, HeightsFallInTheBandsOfTheRows)
{
    const struct
    {
        int height;
        int band;
    } cases[] = {{0, 0},       {-1, 0},      {1, 240},     {144, 240},   {300, 240},   {301, 360},
                 {360, 360},   {420, 360},   {421, 480},   {600, 480},   {601, 720},   {720, 720},
                 {840, 720},   {841, 1080},  {1080, 1080}, {1200, 1080}, {1201, 1440}, {1600, 1440},
                 {1601, 2160}, {2400, 2160}, {2401, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.height);
        EXPECT_EQ(HeightBand(c.height), c.band);
    }
}

TEST(ExtractorFormats, EachRowTakesItsHeightAndContainer)
{
    const struct
    {
        int row;
        Fetch fetch;
        QString urlOrSelector;
        QString merge;
        QString extension;
    } cases[] = {
        // 240p, any container: video and audio in one file beats a merge.
        {0, Own, QStringLiteral("https://media.test/17"), {}, QStringLiteral(".3gp")},
        {1, Own, QStringLiteral("https://media.test/18"), {}, QStringLiteral(".mp4")},
        {2, Own, QStringLiteral("https://media.test/18"), {}, QStringLiteral(".mp4")},
        // 480p: the higher bitrate, whatever its container, merged into that container.
        {3, Extractor, QStringLiteral("244+bestaudio"), QStringLiteral("webm"),
         QStringLiteral(".webm")},
        // MP4 rows keep to MP4 and prefer MP4 audio for the merge.
        {4, Extractor, QStringLiteral("136+bestaudio[ext=m4a]/136+bestaudio"),
         QStringLiteral("mp4"), QStringLiteral(".mp4")},
        {5, Extractor, QStringLiteral("299+bestaudio[ext=m4a]/299+bestaudio"),
         QStringLiteral("mp4"), QStringLiteral(".mp4")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        const std::optional<ChosenExtractorFormat> chosen = ChooseExtractorFormat(Dash, c.row);
        ASSERT_TRUE(chosen);
        EXPECT_EQ(chosen->OwnTransfer, c.fetch == Own);
        EXPECT_EQ(c.fetch == Own ? chosen->Url : chosen->Selector, c.urlOrSelector);
        EXPECT_EQ(chosen->MergeFormat, c.merge);
        EXPECT_EQ(chosen->FileExtension, c.extension);
        if (c.fetch == Own) {
            ASSERT_EQ(chosen->Headers.size(), 1);
            EXPECT_EQ(chosen->Headers[0].second, "https://page.test/");
        } else {
            EXPECT_TRUE(chosen->Headers.isEmpty());
        }
    }
}

TEST(ExtractorFormats, ARowTheVideoLacksHasNoFormat)
{
    const QList<ExtractorFormat> progressive = {
        format("240p", 240, "mp4", "http"),
        format("360p", 360, "webm", "http"),
        format("720p", 720, "mp4", "http"),
    };
    const struct
    {
        int row;
        QString id; // empty: none
    } cases[] = {
        {-1, {}},
        {0, QStringLiteral("240p")},
        {1, {}}, // the 360p one is no MP4
        {2, QStringLiteral("360p")},
        {3, {}},
        {4, QStringLiteral("720p")},
        {5, {}},
        {6, QStringLiteral("720p")}, // best
        {7, {}},
        {8, {}},
        // No audio alone: the audio of the smallest video that has AAC, or any.
        {9, QStringLiteral("240p")},
        {10, QStringLiteral("240p")},
        {11, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        const std::optional<ChosenExtractorFormat> chosen =
            ChooseExtractorFormat(progressive, c.row);
        ASSERT_EQ(chosen.has_value(), !c.id.isEmpty());
        if (chosen) {
            EXPECT_EQ(chosen->Url, QStringLiteral("https://media.test/") + c.id);
        }
    }
}

TEST(ExtractorFormats, AFormatOfUnknownHeightFitsEveryRowAfterTheKnownOnes)
{
    const QList<ExtractorFormat> hls = {format("hls", 0, "mp4", "m3u8_native")};
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        const std::optional<ChosenExtractorFormat> chosen = ChooseExtractorFormat(hls, row);
        ASSERT_TRUE(chosen);
        EXPECT_FALSE(chosen->OwnTransfer);
        EXPECT_EQ(chosen->Selector, QStringLiteral("hls"));
        EXPECT_TRUE(chosen->MergeFormat.isEmpty());
        EXPECT_EQ(chosen->FileExtension, QStringLiteral(".mp4"));
    }

    const QList<ExtractorFormat> mixed = {format("720p", 720, "mp4", "https", true, true, 1),
                                          format("any", 0, "mp4", "https", true, true, 9000)};
    EXPECT_EQ(ChooseExtractorFormat(mixed, 4)->Url, QStringLiteral("https://media.test/720p"));
    EXPECT_EQ(ChooseExtractorFormat(mixed, 5)->Url, QStringLiteral("https://media.test/any"));
}

TEST(ExtractorFormats, NamesThatCouldMisleadTheFileOrTheExtractorAreNotTaken)
{
    // Row 2 takes any container: what a word that names none becomes is its own, .flv.
    const struct
    {
        ExtractorFormat f;
        const char *extension; // null: not taken
    } cases[] = {
        {format("hls", 360, "mp4", "m3u8_native"), ".mp4"},
        {format("hls-1_2.3", 360, "mp4", "m3u8_native"), ".mp4"},
        {format("a+b", 360, "mp4", "m3u8_native"), nullptr},
        {format("a/b", 360, "mp4", "m3u8_native"), nullptr},
        {format("a[b]", 360, "mp4", "m3u8_native"), nullptr},
        {format("", 360, "mp4", "m3u8_native"), nullptr},
        // The extractor's own words for a selection, whatever their case or number.
        {format("b", 360, "mp4", "m3u8_native"), nullptr},
        {format("Best", 360, "mp4", "m3u8_native"), nullptr},
        {format("all", 360, "mp4", "m3u8_native"), nullptr},
        {format("mergeall", 360, "mp4", "m3u8_native"), nullptr},
        {format("bv.2", 360, "mp4", "m3u8_native"), nullptr},
        {format("mp4", 360, "mp4", "m3u8_native"), nullptr},
        // A plain URL needs no id: the program fetches it itself.
        {format("", 360, "mp4", "https"), ".mp4"},
        {format("b", 360, "mp4", "https"), ".mp4"},
        // An extension of no container: the row's own, never "part" or a path.
        {format("x", 360, "part", "https"), ".flv"},
        {format("x", 360, "part", "m3u8_native"), ".flv"},
        {format("x", 360, "mp4/../../x", "https"), ".flv"},
        {format("x", 360, "mp4/../../x", "m3u8_native"), nullptr},
        {format("x", 360, "", "https"), ".flv"},
        {format("x", 360, "averylongext", "https"), ".flv"},
        {format("x", 360, "mhtml", "mhtml"), nullptr},
        {format("x", 360, "mp4", "https", false, true), nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(
            (c.f.FormatId + QLatin1Char(' ') + c.f.Extension + QLatin1Char(' ') + c.f.Protocol)
                .toStdString());
        const std::optional<ChosenExtractorFormat> chosen = ChooseExtractorFormat({c.f}, 2);
        ASSERT_EQ(chosen.has_value(), c.extension != nullptr);
        if (chosen) {
            EXPECT_EQ(chosen->FileExtension, QString::fromLatin1(c.extension));
        }
    }
}

TEST(ExtractorFormats, APlainUrlOfAnotherSchemeIsFetchedByTheExtractor)
{
    ExtractorFormat ftp = format("f", 360, "mp4", "https");
    ftp.Url = QStringLiteral("ftp://media.test/f");
    const std::optional<ChosenExtractorFormat> chosen = ChooseExtractorFormat({ftp}, 2);
    ASSERT_TRUE(chosen);
    EXPECT_FALSE(chosen->OwnTransfer);
    EXPECT_EQ(chosen->Selector, QStringLiteral("f"));
}
