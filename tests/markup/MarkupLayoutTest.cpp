#include "markup/MarkupLayout.h"

#include "markup/MarkupTags.h"
#include "markup/TextMeasurer.h"

#include <gtest/gtest.h>

namespace {

// Every character is 5 pixels wide (7 in bold); text is size + 3 pixels high.
class FixedMeasurer final : public TextMeasurer
{
public:
    QSize measure(const MarkupFont &font, const QString &text) const override
    {
        return {int(text.size()) * (font.bold ? 7 : 5), textHeight(font)};
    }
    int textHeight(const MarkupFont &font) const override { return font.pointSize + 3; }
};

MarkupFont windowFont()
{
    MarkupFont font;
    font.name = QStringLiteral("MS Sans Serif");
    font.pointSize = 8;
    font.color = Qt::black;
    return font;
}

MarkupLayout layOut(const QString &caption, QSize rect = {1000, 100}, bool ignoreColours = false,
                    MarkupFont base = windowFont())
{
    return MarkupLayout::build(caption, base, rect, FixedMeasurer(), ignoreColours);
}

QList<MarkupPiece> allPieces(const MarkupLayout &layout)
{
    QList<MarkupPiece> pieces;
    for (const MarkupLine &line : layout.lines)
        pieces += line.pieces;
    return pieces;
}

const MarkupPiece *pieceWith(const QList<MarkupPiece> &pieces, const QString &text)
{
    for (const MarkupPiece &piece : pieces)
        if (piece.text == text)
            return &piece;
    return nullptr;
}

TEST(MarkupLayout, AviCaptionHasOnlyTheWordAviInBoldBlue)
{
    const auto layout = layOut(QStringLiteral(
        "Convert FLV to <font color=\"#0000ff\"><B>AVI</B></font> (XVID) - compatible with most "
        "video players"));
    ASSERT_EQ(layout.lines.size(), 1);
    EXPECT_EQ(layout.plainText(),
              QStringLiteral("Convert FLV to AVI (XVID) - compatible with most video players"));
    for (const MarkupPiece &piece : allPieces(layout)) {
        SCOPED_TRACE(piece.text.toStdString());
        const bool avi = piece.text == QStringLiteral("AVI");
        EXPECT_EQ(piece.font.bold, avi);
        EXPECT_EQ(piece.font.color, avi ? QColor(0, 0, 255) : QColor(Qt::black));
        EXPECT_EQ(piece.font.name, QStringLiteral("MS Sans Serif"));
    }
}

TEST(MarkupLayout, NonBreakingSpacesSurviveTrimmingButBlanksDoNot)
{
    const QString font = QStringLiteral("<FONT color=\"#FFFFFF\"  size=\"9\" face=\"Tahoma\">");
    const auto kept = layOut(QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;") + font +
                             QStringLiteral("Progress</FONT>"));
    const auto pieces = allPieces(kept);
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0].text, QStringLiteral("    "));
    EXPECT_EQ(pieces[0].font, windowFont());
    EXPECT_EQ(pieces[1].text, QStringLiteral("Progress"));
    EXPECT_EQ(pieces[1].x, 4 * 5);
    EXPECT_EQ(pieces[1].font.name, QStringLiteral("TAHOMA"));
    EXPECT_EQ(pieces[1].font.pointSize, 9);
    EXPECT_EQ(pieces[1].font.color, QColor(Qt::white));

    const auto trimmed = layOut(QStringLiteral("    ") + font + QStringLiteral("Progress</FONT>"));
    ASSERT_EQ(allPieces(trimmed).size(), 1);
    EXPECT_EQ(allPieces(trimmed)[0].x, 0);
}

TEST(MarkupLayout, TagsDoNotNest)
{
    const auto layout = layOut(QStringLiteral("<font color=\"#ff0000\" size=\"4\">a<font "
                                              "color=\"#00ff00\">b</font>c</font>d<b><b>e</b>f"));
    const auto pieces = allPieces(layout);
    ASSERT_EQ(pieces.size(), 6);
    EXPECT_EQ(pieces[0].font.color, QColor(255, 0, 0));
    EXPECT_EQ(pieces[0].font.pointSize, 14);
    EXPECT_EQ(pieces[1].font.color, QColor(0, 255, 0));
    EXPECT_EQ(pieces[1].font.pointSize, 14);
    // The inner closing tag returns to the widget's font, not to red 14 point.
    EXPECT_EQ(pieces[2].font, windowFont());
    EXPECT_EQ(pieces[3].font, windowFont());
    EXPECT_TRUE(pieces[4].font.bold);
    EXPECT_FALSE(pieces[5].font.bold);
}

TEST(MarkupTags, FontAttributes)
{
    struct Case
    {
        const char *tag;
        QString name;
        int size;
        QColor color;
        QColor background;
    };
    const QColor black(Qt::black);
    const QString plain = QStringLiteral("MS Sans Serif");
    const Case cases[] = {
        {"FONT face=\"Tahoma\"", QStringLiteral("TAHOMA"), 8, black, {}},
        {"font FACE=\"verdana\" size=\"1\"", QStringLiteral("VERDANA"), 8, black, {}},
        {"font size=\"2\"", plain, 10, black, {}},
        {"font size=\"3\"", plain, 12, black, {}},
        {"font size=\"4\"", plain, 14, black, {}},
        {"font size=\"5\"", plain, 16, black, {}},
        {"font size=\"9\"", plain, 9, black, {}},
        {"font size=\"12pt\"", plain, 12, black, {}},
        {"font size=\"\"", plain, 8, black, {}},
        {"font size=\"0\"", plain, 8, black, {}},
        {"font color=\"#ff8000\"", plain, 8, QColor(255, 128, 0), {}},
        {"font color=\"#FF8000\"", plain, 8, QColor(255, 128, 0), {}},
        {"font color=\"#zz0000\"", plain, 8, black, {}},
        {"font color=\"red\"", plain, 8, black, {}},
        {"font color=\"#ff", plain, 8, black, {}},
        {"font bgcolor=\"#00ff00\"", plain, 8, black, QColor(0, 255, 0)},
        {"fONT   size=\"9\" COLOR=\"#0000ff\"", plain, 9, QColor(0, 0, 255), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.tag);
        MarkupTags tags(windowFont(), false);
        MarkupFont state = windowFont();
        tags.apply(QString::fromLatin1(c.tag), state);
        EXPECT_EQ(state.name, c.name);
        EXPECT_EQ(state.pointSize, c.size);
        EXPECT_EQ(state.color, c.color);
        EXPECT_EQ(state.background, c.background);
        tags.apply(QStringLiteral("/FONT"), state);
        EXPECT_EQ(state, windowFont());
    }
}

TEST(MarkupTags, OtherTagsChangeNothing)
{
    for (const char *tag : {"BR", "BIG", "I", "/BX", "", "/", "U", "bb"}) {
        SCOPED_TRACE(tag);
        MarkupTags tags(windowFont(), false);
        MarkupFont state = windowFont();
        tags.apply(QString::fromLatin1(tag), state);
        EXPECT_EQ(state, windowFont());
    }
}

TEST(MarkupLayout, SelectedItemsIgnoreColourAttributes)
{
    MarkupFont highlight = windowFont();
    highlight.color = Qt::white;
    const auto layout =
        layOut(QStringLiteral("MP4 video - <b>HD (720p)</b>   <font color=\"#ff0000\">- if "
                              "available</font> x"),
               {1000, 100}, true, highlight);
    for (const MarkupPiece &piece : allPieces(layout)) {
        SCOPED_TRACE(piece.text.toStdString());
        EXPECT_EQ(piece.font.color, QColor(Qt::white));
    }
    EXPECT_TRUE(pieceWith(allPieces(layout), QStringLiteral("(720p)"))->font.bold);
}

TEST(MarkupLayout, PiecesAreCutAtSpacesAndTagsBeforeEntitiesAreReplaced)
{
    const auto layout = layOut(QStringLiteral("a&nbsp;b c<b>d</b>&lt;e&gt;"));
    QStringList texts;
    for (const MarkupPiece &piece : allPieces(layout))
        texts << piece.text;
    EXPECT_EQ(texts, QStringList({QStringLiteral("a b "), QStringLiteral("c"), QStringLiteral("d"),
                                  QStringLiteral("<e>")}));
}

TEST(MarkupLayout, UnclosedTagEndsTheCaption)
{
    EXPECT_EQ(layOut(QStringLiteral("abc <b>def <font color=\"#ff0000\" ghi")).plainText(),
              QStringLiteral("abc def "));
    EXPECT_TRUE(layOut(QStringLiteral("<")).lines.isEmpty());
    EXPECT_TRUE(layOut(QStringLiteral("   \t ")).lines.isEmpty());
    EXPECT_TRUE(layOut(QString()).lines.isEmpty());
}

TEST(MarkupLayout, NothingToShowMeasuresZeroByZero)
{
    // Not Qt's invalid -1 by -1, which widgets would add their margins to.
    for (const QString &caption : {QString(), QStringLiteral("<"), QStringLiteral("   \t "),
                                   QStringLiteral("<b></b><font color=\"#ff0000\">")}) {
        SCOPED_TRACE(caption.toStdString());
        EXPECT_EQ(layOut(caption).size, QSize(0, 0));
    }
    EXPECT_EQ(layOut(QStringLiteral("ab")).size, QSize(10, 11));
}

TEST(MarkupLayout, LinesBreakBeforeAPieceThatWouldReachTheRightEdge)
{
    struct Case
    {
        int width;
        QStringList lines;
    };
    // Pieces "aaa " (20), "bbb " (20), "ccc" (15).
    const Case cases[] = {
        {56, {QStringLiteral("aaa bbb ccc")}},
        {55, {QStringLiteral("aaa bbb "), QStringLiteral("ccc")}}, // 55 does not stay below 55
        {41, {QStringLiteral("aaa bbb "), QStringLiteral("ccc")}},
        {40, {QStringLiteral("aaa "), QStringLiteral("bbb ccc")}},
        {35, {QStringLiteral("aaa "), QStringLiteral("bbb "), QStringLiteral("ccc")}},
        // A piece wider than the rectangle stays on its own line.
        {5, {QStringLiteral("aaa "), QStringLiteral("bbb "), QStringLiteral("ccc")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        const auto layout = layOut(QStringLiteral("aaa bbb ccc"), {c.width, 100});
        QStringList lines;
        for (const MarkupLine &line : layout.lines) {
            QString text;
            for (const MarkupPiece &piece : line.pieces)
                text += piece.text;
            lines << text;
            EXPECT_EQ(line.pieces.first().x, 0);
        }
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(MarkupLayout, LineHeightsAndBottomAlignment)
{
    // Line 1: 8 pt and 14 pt pieces, aligned to its bottom; line 2: 8 pt only.
    const auto layout =
        layOut(QStringLiteral("aa <font size=\"4\">bb </font>cc <font size=\"4\"><font "
                              "size=\"1\">dd"),
               {46, 100});
    ASSERT_EQ(layout.lines.size(), 2);
    EXPECT_EQ(layout.lines[0].height, 17);
    EXPECT_EQ(layout.lines[0].top, 0);
    EXPECT_EQ(layout.lines[1].top, 17);
    EXPECT_EQ(layout.lines[1].pieces.size(), 1);
    EXPECT_EQ(layout.size, QSize(45, 17 + 11));

    // A line is at least as high as the font in force where it began.
    // The 14 pt space that overflows line 1 is trimmed away at the start of line 2.
    const auto started = layOut(QStringLiteral("aaaa<font size=\"4\"> </font>dd"), {25, 100});
    ASSERT_EQ(started.lines.size(), 2);
    EXPECT_EQ(started.lines[1].pieces.first().height, 11);
    EXPECT_EQ(started.lines[1].height, 17);
}

TEST(MarkupLayout, LinesBelowTheRectangleAreMeasuredButNotDrawn)
{
    const QString caption = QStringLiteral("aaa bbb ccc");
    struct Case
    {
        int height;
        qsizetype visible;
    };
    for (const Case c : {Case{33, 3}, Case{32, 2}, Case{22, 2}, Case{11, 1}, Case{10, 0}}) {
        SCOPED_TRACE(c.height);
        const auto layout = layOut(caption, {30, c.height});
        EXPECT_EQ(layout.lines.size(), 3);
        EXPECT_EQ(layout.visibleLines, c.visible);
        EXPECT_EQ(layout.size.height(), 33);
    }
}

} // namespace

// What a screen reader hears of the window's captions.
TEST(MarkupLayout, PlainTextOfACaptionHasNoTagsAndOneBlankAtATime)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Convert FLV to <font color=\"#0000ff\"><B>AVI</B></font> (XVID) - compatible with most "
         "video players",
         "Convert FLV to AVI (XVID) - compatible with most video players"},
        {"MP4 video - <b>HD (720p)</b>   <font color=\"#ff0000\">- if available</font>",
         "MP4 video - HD (720p) - if available"},
        {"&nbsp;&nbsp;&nbsp;&nbsp;<FONT color=\"#FFFFFF\"  size=\"9\" "
         "face=\"Tahoma\">Progress</FONT>",
         "Progress"},
        {"a &lt;b&gt; c", "a <b> c"},
        {"before <unclosed", "before"},
        {"", ""},
    };
    for (const auto &[caption, plain] : cases) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(MarkupLayout::plainTextOf(QString::fromUtf8(caption)), QString::fromUtf8(plain));
    }
}
