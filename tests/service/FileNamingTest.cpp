#include "service/FileNaming.h"

#include "ResultWithin.h"
#include "service/FormatTable.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const QDateTime Moment(QDate(2012, 8, 15), QTime(14, 5, 9));
const QString Dated = QStringLiteral("movie_08-15-2012_14-05-09");

} // namespace

TEST(FileNaming, DatedNameHasFixedSeparators)
{
    EXPECT_EQ(DatedName(Moment), QStringLiteral("movie_08-15-2012_14-05-09"));
    EXPECT_EQ(DatedName(QDateTime(QDate(999, 1, 2), QTime(0, 0, 0))),
              QStringLiteral("movie_01-02-0999_00-00-00"));
    EXPECT_EQ(DatedName(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))),
              QStringLiteral("movie_12-31-2024_23-59-59"));
}

TEST(FileNaming, CleaningTrimsResolvesAndReplaces)
{
    const struct
    {
        QString title, cleaned;
    } cases[]{
        {QStringLiteral("AC/DC: Live?"), QStringLiteral("AC_DC_ Live_")},
        {QStringLiteral("  padded \t"), QStringLiteral("padded")},
        {QString::fromUtf16(u"\u0001\u0020x\u001F"), QStringLiteral("x")},
        // Entities are resolved after trimming, so they can leave blanks at the ends.
        {QStringLiteral("&nbsp;lead"), QStringLiteral(" lead")},
        {QStringLiteral("&NBSP;lead"), QStringLiteral(" lead")},
        {QStringLiteral("&amp;quot;"), QStringLiteral("&quot;")},
        {QStringLiteral("&quot;Q&quot;"), QStringLiteral("Q")},
        {QStringLiteral("a&lt;b&gt;c"), QStringLiteral("a_b_c")},
        {QStringLiteral("&copy;&reg;&sup1;&sect;x"), QStringLiteral("x")},
        {QStringLiteral("a\nb\rc"), QStringLiteral("abc")},
        {QStringLiteral("a|b*c\\d"), QStringLiteral("a_b_c_d")},
        {QStringLiteral("tab\tinside"), QStringLiteral("tabinside")},
        {QStringLiteral("&#39;kept&eacute;"), QStringLiteral("&#39;kept&eacute;")},
        // Only ASCII letters are folded: a dotless i is no "I".
        {QString::fromUtf16(u"&QU\u0131T;"), QString::fromUtf16(u"&QU\u0131T;")},
        {QStringLiteral("&AMP;LT;"), QStringLiteral("_")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        EXPECT_EQ(CleanFileName(c.title), c.cleaned);
    }
}

TEST(FileNaming, NamesFromFeedPageOrDate)
{
    const QString title94(94, QLatin1Char('t'));
    const struct
    {
        const char *name;
        QString feedTitle;
        bool haveStreamUrl;
        int format;
        QString pageTitle;
        QString saveFileName;
        int pageRequests;
    } cases[]{
        {"feed title", QStringLiteral("Clip_(720p)"), true, 4, QStringLiteral("unused"),
         QStringLiteral("Clip_(720p).mp4"), 0},
        {"page title gets the page suffix", QString(), true, 2, QStringLiteral("Clip"),
         QStringLiteral("Clip (HQ 360p).flv"), 1},
        {"page suffix alone", QString(), true, 2, QString(), QStringLiteral("(HQ 360p).flv"), 1},
        {"index 3 page suffix", QString(), true, 3, QStringLiteral("C"),
         QStringLiteral("C (HQ 468p).flv"), 1},
        {"no title at index 0", QString(), true, 0, QString(),
         QStringLiteral("movie_08-15-2012_14-05-09.flv"), 1},
        {"no title at index 1", QString(), true, 1, QString(),
         QStringLiteral("movie_08-15-2012_14-05-09.mp4"), 1},
        {"no stream URL: no page request", QString(), false, 5, QStringLiteral("unused"),
         QStringLiteral("movie_08-15-2012_14-05-09.mp4"), 0},
        {"outside the table", QString(), true, FormatCount, QStringLiteral("X"),
         QStringLiteral("X.flv"), 1},
        {"cleaned after the suffix", QStringLiteral(" AC/DC: Live?_(480p)"), true, 3, QString(),
         QStringLiteral("AC_DC_ Live__(480p).flv"), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int requests = 0;
        const VideoFileNames names =
            NameVideoFiles(c.feedTitle, c.haveStreamUrl, c.format, Moment, [&] {
                ++requests;
                return c.pageTitle;
            });
        EXPECT_EQ(names.SaveFileName, c.saveFileName);
        EXPECT_EQ(names.DefaultName, QStringLiteral("movie_08-15-2012_14-05-09.flv"));
        EXPECT_EQ(requests, c.pageRequests);
    }
}

TEST(FileNaming, LongNamesAreCutInTheTitleAtACharacterBoundary)
{
    // 100 three-byte characters: 300 bytes, more than a file name may hold.
    const QString cjk(100, QChar(0x6F22));
    const VideoFileNames fromFeed =
        NameVideoFiles(cjk + QStringLiteral("_(720p)"), true, 4, Moment, [] { return QString(); });
    const QByteArray bytes = fromFeed.SaveFileName.toUtf8();
    EXPECT_LE(bytes.size(), MaxFileNameBytes);
    EXPECT_GT(bytes.size(), MaxFileNameBytes - 3);
    EXPECT_TRUE(fromFeed.SaveFileName.endsWith(QStringLiteral("_(720p).mp4")));
    EXPECT_TRUE(fromFeed.SaveFileName.startsWith(cjk.left(70)));
    EXPECT_EQ(QString::fromUtf8(bytes), fromFeed.SaveFileName);

    // A long page title keeps its page suffix; pairs of surrogates stay whole.
    QString emoji;
    for (int i = 0; i < 80; ++i)
        emoji += QString::fromUtf16(u"\U0001F600");
    const VideoFileNames fromPage =
        NameVideoFiles(QString(), true, 5, Moment, [&] { return emoji; });
    EXPECT_LE(fromPage.SaveFileName.toUtf8().size(), MaxFileNameBytes);
    EXPECT_TRUE(fromPage.SaveFileName.endsWith(QStringLiteral(" (FullHD).mp4")));
    EXPECT_FALSE(fromPage.SaveFileName.at(fromPage.SaveFileName.size() - 14).isHighSurrogate());
    EXPECT_EQ(QString::fromUtf8(fromPage.SaveFileName.toUtf8()), fromPage.SaveFileName);

    // A name that fits is never touched, and a 255-byte one fits.
    const QString exact = QString(251, QLatin1Char('a')) + QStringLiteral(".flv");
    EXPECT_EQ(FitFileName(exact, 4), exact);
    EXPECT_EQ(FitFileName(QStringLiteral("a") + exact, 4), exact);
}

TEST(FileNaming, CutsNeverSplitASurrogatePair)
{
    // Qt's grapheme finder stops between the halves of U+1F469 before U+100D;
    // counted by halves the name came out at 337 bytes, ending in a lone half.
    QString woman;
    for (int i = 0; i < 100; ++i)
        woman += QString::fromUtf16(u"\U0001F469\u100D");
    const QString ext = QStringLiteral(".flv");
    const struct
    {
        const char *name;
        QString text;
        qsizetype keptTail;
        QString tail;
    } cases[]{
        {"finder stops inside pairs", woman + ext, 4, ext},
        {"tail starts inside a pair", QString(300, QLatin1Char('a')) + woman.left(2) + ext, 5,
         QString::fromUtf16(u"\U0001F469.flv")},
        {"both", woman + woman.left(2) + ext, 5, QString::fromUtf16(u"\U0001F469.flv")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString fitted = FitFileName(c.text, c.keptTail);
        EXPECT_LE(fitted.toUtf8().size(), MaxFileNameBytes);
        EXPECT_GT(fitted.toUtf8().size(), MaxFileNameBytes - 8);
        EXPECT_TRUE(fitted.endsWith(c.tail));
        EXPECT_TRUE(c.text.startsWith(QStringView(fitted).chopped(c.tail.size())));
        EXPECT_EQ(QString::fromUtf8(fitted.toUtf8()), fitted) << "a pair was split";
    }
}

TEST(FileNaming, CutsNeverJoinTwoLoneHalves)
{
    // Lone halves count one byte each ("?"); had the cut kept the high half,
    // it would have met the tail's low half as one character of four bytes.
    const QString high(QChar(0xD83D));
    const QString low(QChar(0xDE00));
    const QString a249(249, QLatin1Char('a'));
    const QString name = a249 + high + QString(10, QLatin1Char('b')) + low + QStringLiteral(".flv");
    const QString fitted = FitFileName(name, 5);
    EXPECT_EQ(fitted, a249 + low + QStringLiteral(".flv"));
    EXPECT_LE(fitted.toUtf8().size(), MaxFileNameBytes);
}

TEST(FileNaming, ControlCharactersLeaveTheName)
{
    // A NUL would end the name the file system sees; the others cannot be typed.
    const struct
    {
        QString title, cleaned;
    } cases[]{
        {QString::fromUtf16(u"Clip\u0000 two", 9), QStringLiteral("Clip two")},
        {QString::fromUtf16(u"a\u0000\u0000b", 4), QStringLiteral("ab")},
        {QString::fromUtf16(u"a\u0007b\u001Bc"), QStringLiteral("abc")},
        {QString::fromUtf16(u"a\u007Fb"), QStringLiteral("ab")},
        {QString::fromUtf16(u"a\u0080b\u0085c\u009Fd"), QStringLiteral("abcd")},
        // Bidirectional controls, which would show the name in another order.
        {QString::fromUtf16(u"Invoice \u202Efdp.exe"), QStringLiteral("Invoice fdp.exe")},
        {QString::fromUtf16(u"a\u061Cb\u200Ec\u200Fd\u202Ae\u202Bf\u202Cg\u202Dh"),
         QStringLiteral("abcdefgh")},
        {QString::fromUtf16(u"\u2066a\u2067b\u2068c\u2069"), QStringLiteral("abc")},
        // Removed after the entities, as line breaks always were.
        {QString::fromUtf16(u"&am\u0001p;"), QStringLiteral("&amp;")},
        // Not controls: no-break space, zero-width space, the first letter after C1,
        // the neighbours of the bidirectional controls.
        {QString::fromUtf16(u"a\u00A0b\u200Bc\u00A1d\u200De\u2029f\u202Fg\u2065h\u206Ai"),
         QString::fromUtf16(u"a\u00A0b\u200Bc\u00A1d\u200De\u2029f\u202Fg\u2065h\u206Ai")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        EXPECT_EQ(CleanFileName(c.title), c.cleaned);
    }
}

TEST(FileNaming, NamesThatCleanToNothingGetTheDatedName)
{
    const struct
    {
        const char *name;
        QString feedTitle;
        int format;
        QString pageTitle;
        QString saveFileName;
    } cases[]{
        {"blank feed title", QStringLiteral(" "), 0, QString(), Dated + QStringLiteral(".flv")},
        {"entities only", QStringLiteral("&copy;&quot;"), 1, QString(),
         Dated + QStringLiteral(".mp4")},
        {"controls only", QString::fromUtf16(u"\u0000\u007F\u0085", 3), 4, QString(),
         Dated + QStringLiteral(".mp4")},
        {"one dot", QStringLiteral("."), 0, QString(), Dated + QStringLiteral(".flv")},
        {"two dots", QStringLiteral(".."), 0, QString(), Dated + QStringLiteral(".flv")},
        {"dots after trimming", QStringLiteral(" ... "), 5, QString(),
         Dated + QStringLiteral(".mp4")},
        // The removed controls bare a blank, which the finished name would lose.
        {"a blank between controls", QString::fromUtf16(u"\u007F\u0001 \u007F"), 0, QString(),
         Dated + QStringLiteral(".flv")},
        {"dots between controls", QString::fromUtf16(u"\u007F .\u0085"), 0, QString(),
         Dated + QStringLiteral(".flv")},
        {"dots that the cut to 255 bytes leaves",
         QString(260, QLatin1Char('.')) + QString::fromUtf16(u"\uFFFD\uFFFD"), 2, QString(),
         Dated + QStringLiteral(".flv")},
        {"NUL page title at index 1", QString(), 1, QString::fromUtf16(u"\u0000", 1),
         Dated + QStringLiteral(".mp4")},
        {"a NUL inside keeps both halves", QString::fromUtf16(u"Clip\u0000two", 8), 0, QString(),
         QStringLiteral("Cliptwo.flv")},
        {"dots with a letter stay", QStringLiteral(".a."), 0, QString(), QStringLiteral(".a..flv")},
        {"page suffix alone stays", QString(), 4, QString::fromUtf16(u"\u0001", 1),
         QStringLiteral("(HD).mp4")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const VideoFileNames names =
            NameVideoFiles(c.feedTitle, true, c.format, Moment, [&] { return c.pageTitle; });
        EXPECT_EQ(names.SaveFileName, c.saveFileName);
        EXPECT_EQ(names.DefaultName, Dated + QStringLiteral(".flv"));
    }
}

TEST(FileNaming, HugeTitlesAreCutLikeLongOnes)
{
    // A fallback page title may be as long as the page itself.
    const QString huge(300000, QLatin1Char('x'));
    const auto names = resultWithin(10s, [huge] {
        return NameVideoFiles(QString(), true, 2, Moment, [huge] { return huge; });
    });
    ASSERT_TRUE(names.has_value()) << "naming a 300000-character title did not finish";
    EXPECT_EQ(names->SaveFileName,
              QString(241, QLatin1Char('x')) + QStringLiteral(" (HQ 360p).flv"));

    // Cut straight, whole characters: "e" with its combining accent counts as one.
    QString marked;
    for (int i = 0; i < 100000; ++i)
        marked += QString::fromUtf16(u"e\u0301\u6F22");
    const auto fitted =
        resultWithin(10s, [marked] { return FitFileName(marked + QStringLiteral(".mp4"), 4); });
    ASSERT_TRUE(fitted.has_value()) << "fitting a 300000-character name did not finish";
    QString expected;
    for (int i = 0; i < 41; ++i)
        expected += QString::fromUtf16(u"e\u0301\u6F22");
    expected += QString::fromUtf16(u"e\u0301.mp4");
    EXPECT_EQ(*fitted, expected);
    EXPECT_EQ(fitted->toUtf8().size(), 253);
}

TEST(FileNaming, ExtractorTitlesTakeTheFeedSuffixAndTheContainersExtension)
{
    const struct
    {
        QString title;
        int format;
        QString extension;
        QString name;
    } cases[] = {
        {QStringLiteral("Clip"), 4, QStringLiteral(".mp4"), QStringLiteral("Clip_(720p).mp4")},
        {QStringLiteral("Clip"), 2, QStringLiteral(".webm"), QStringLiteral("Clip_(360p).webm")},
        {QStringLiteral("Clip"), 0, QStringLiteral(".3gp"), QStringLiteral("Clip.3gp")},
        {QStringLiteral(" AC/DC: Live? "), 1, QStringLiteral(".mp4"),
         QStringLiteral("AC_DC_ Live_.mp4")},
        // No title, or one that cleans away: the dated name, with no suffix.
        {QString(), 3, QStringLiteral(".mkv"), QStringLiteral("movie_08-15-2012_14-05-09.mkv")},
        {QStringLiteral(" \n "), 3, QStringLiteral(".mp4"),
         QStringLiteral("movie_08-15-2012_14-05-09.mp4")},
        {QString::fromUtf16(u"\u007F \u007F"), 0, QStringLiteral(".3gp"),
         QStringLiteral("movie_08-15-2012_14-05-09.3gp")},
        {QStringLiteral(" .. "), 0, QStringLiteral(".3gp"),
         QStringLiteral("movie_08-15-2012_14-05-09.3gp")},
        // Extractor titles have no 100-character limit.
        {QString(120, QLatin1Char('a')), 5, QStringLiteral(".mp4"),
         QString(120, QLatin1Char('a')) + QStringLiteral("_(1080p).mp4")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        const VideoFileNames names =
            NameExtractorVideoFiles(c.title, c.format, Moment, c.extension);
        EXPECT_EQ(names.SaveFileName, c.name);
        EXPECT_EQ(names.DefaultName, QStringLiteral("movie_08-15-2012_14-05-09.flv"));
    }

    // The 255-byte rule keeps the suffix and the extension.
    const VideoFileNames cut =
        NameExtractorVideoFiles(QString(100, QChar(0x6F22)), 4, Moment, QStringLiteral(".webm"));
    EXPECT_LE(cut.SaveFileName.toUtf8().size(), MaxFileNameBytes);
    EXPECT_TRUE(cut.SaveFileName.endsWith(QStringLiteral("_(720p).webm")));
    EXPECT_TRUE(cut.SaveFileName.startsWith(QChar(0x6F22)));
}
