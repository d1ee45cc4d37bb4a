#include "service/FormatTable.h"

#include <gtest/gtest.h>

TEST(FormatTable, RowsKeepTheirCodesSuffixesAndExtensions)
{
    const struct
    {
        const char *itag, *feedSuffix, *pageSuffix, *extension;
        bool convertible;
        const char *consoleName;
        int band;
        bool mp4Only;
    } rows[]{
        {"itag=5", "", "", ".flv", true, "240p", 240, false},
        {"itag=18", "", "", ".mp4", false, "medium", 360, true},
        {"itag=34", "_(360p)", " (HQ 360p)", ".flv", true, "360p", 360, false},
        {"itag=35", "_(480p)", " (HQ 468p)", ".flv", true, "480p", 480, false},
        {"itag=22", "_(720p)", " (HD)", ".mp4", false, "720p", 720, true},
        {"itag=37", "_(1080p)", " (FullHD)", ".mp4", false, "1080p", 1080, true},
        {"", "", "", ".mp4", false, "best", 2160, false},
        {"itag=38", "_(1440p)", " (2K)", ".mp4", false, "1440p", 1440, true},
        {"itag=38", "_(2160p)", " (4K)", ".mp4", false, "2160p", 2160, true},
        {"", "_(audio)", " (audio)", ".m4a", false, "m4a", 0, false},
        {"", "_(audio)", " (audio)", ".mp3", false, "mp3", 0, false},
    };
    ASSERT_EQ(FormatTable().size(), std::size(rows));
    for (int i = 0; i < FormatCount; ++i) {
        SCOPED_TRACE(i);
        const VideoFormat &format = *formatAt(i);
        EXPECT_EQ(format.ItagText, QString::fromLatin1(rows[i].itag));
        EXPECT_EQ(format.FeedSuffix, QString::fromLatin1(rows[i].feedSuffix));
        EXPECT_EQ(format.PageSuffix, QString::fromLatin1(rows[i].pageSuffix));
        EXPECT_EQ(format.FileExtension, QString::fromLatin1(rows[i].extension));
        EXPECT_EQ(format.Convertible, rows[i].convertible);
        EXPECT_EQ(isConvertibleFormat(i), rows[i].convertible);
        EXPECT_EQ(format.ConsoleName, QString::fromLatin1(rows[i].consoleName));
        EXPECT_EQ(format.HeightBand, rows[i].band);
        EXPECT_EQ(format.Mp4Only, rows[i].mp4Only);
    }
}

TEST(FormatTable, QuestionsBreakWithLineFeedThenCarriageReturn)
{
    // The rows a missing one offers; every offer is asked, and nothing else is.
    const int offered[] = {-1, 0, 1, 2, 3, 4, -1, 5, 7, 10, -1};
    ASSERT_EQ(std::size(offered), std::size_t(FormatCount));
    for (int i = 0; i < FormatCount; ++i) {
        SCOPED_TRACE(i);
        const QString &question = formatAt(i)->StepDownQuestion;
        EXPECT_EQ(formatAt(i)->StepDownTo, offered[i]);
        EXPECT_EQ(question.count(QStringLiteral("\n\r")), offered[i] >= 0 ? 1 : 0);
        EXPECT_FALSE(question.contains(QStringLiteral("\r\n")));
    }
    EXPECT_EQ(formatAt(3)->StepDownQuestion,
              QStringLiteral("Unable to download HQ (480p) version of this video.\n\r"
                             "Should I try to download 360p version?"));
}

TEST(FormatTable, CaptionsCarryMarkupWithThreeSpacesBeforeTheNote)
{
    EXPECT_EQ(formatAt(0)->ListCaption, QStringLiteral("FLV video - <b>240p</b>"));
    EXPECT_EQ(formatAt(2)->ListCaption, QStringLiteral("FLV video - <b>HQ 360p</b>"));
    EXPECT_EQ(formatAt(5)->ListCaption,
              QStringLiteral("MP4 video - <b>Full HD (1080p)</b>   "
                             "<font color=\"#ff0000\">- if available</font>"));
    for (int i : {1, 3, 4, 5})
        EXPECT_TRUE(formatAt(i)->ListCaption.contains(QStringLiteral("</b>   <font")));
}

TEST(FormatTable, IndicesOutsideTheListHaveNoRow)
{
    for (int index : {-1, FormatCount, 100}) {
        EXPECT_EQ(formatAt(index), nullptr);
        EXPECT_FALSE(isConvertibleFormat(index));
    }
}
