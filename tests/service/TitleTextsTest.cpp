#include "service/TitleTexts.h"

#include "service/AnsiCodePage.h"

#include <gtest/gtest.h>

namespace {

QByteArray feedWithTitle(const QByteArray &title)
{
    return "<?xml version='1.0'?><entry><id>x</id><title type='text'>" + title +
           "</title><content>c</content></entry>";
}

} // namespace

TEST(FeedTitle, TitleElementSuffixAndLimit)
{
    const QByteArray title94(94, 'x');
    const QByteArray title93(93, 'x');
    const struct
    {
        const char *name;
        QByteArray feed;
        int format;
        QString title;
    } cases[]{
        {"plain", feedWithTitle("Clip"), 4, QStringLiteral("Clip_(720p)")},
        {"no suffix at 0", feedWithTitle("Clip"), 0, QStringLiteral("Clip")},
        {"no suffix at 1", feedWithTitle("Clip"), 1, QStringLiteral("Clip")},
        {"no suffix outside the table", feedWithTitle("Clip"), -1, QStringLiteral("Clip")},
        {"suffix 360p", feedWithTitle("Clip"), 2, QStringLiteral("Clip_(360p)")},
        {"entities kept for naming", feedWithTitle("A &amp; B"), 0, QStringLiteral("A &amp; B")},
        {"no title element", "<entry><name>x</name></entry>", 2, QString()},
        {"no closing tag", "<entry><title>Clip", 2, QString()},
        {"empty title", feedWithTitle(""), 2, QString()},
        {"no '>' after the tag", "<title", 2, QString()},
        {"first title wins", feedWithTitle("One") + feedWithTitle("Two"), 0, QStringLiteral("One")},
        {"94 + 7 is over the limit", feedWithTitle(title94), 2, QString()},
        {"93 + 7 is exactly the limit", feedWithTitle(title93), 2,
         QString::fromLatin1(title93) + QStringLiteral("_(360p)")},
        {"UTF-8 bytes decode", feedWithTitle("Caf\xC3\xA9"), 0, QString::fromUtf16(u"Caf\u00E9")},
        {"UTF-8 three bytes", feedWithTitle("\xE2\x82\xAC"), 0, QString::fromUtf16(u"\u20AC")},
        {"ANSI stays ANSI", feedWithTitle("Caf\xE9"), 0, QString::fromUtf16(u"Caf\u00E9")},
        {"ANSI euro", feedWithTitle("\x80 5"), 0, QString::fromUtf16(u"\u20AC 5")},
        // The limit counts UTF-16 code units after decoding.
        {"decoded before the limit",
         feedWithTitle(QByteArray(60, 'a') + QByteArray("\xC3\xA9").repeated(40)), 0,
         QString(60, QLatin1Char('a')) + QString(40, QChar(0xE9))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TitleFromFeed(c.feed, c.format), c.title);
    }
}

TEST(MarkedText, TextAfterMarkerUpToTheNextTag)
{
    const QString marker = QStringLiteral("<title>YouTube - ");
    const struct
    {
        QString page;
        QString text;
    } cases[]{
        {QStringLiteral("<html><title>YouTube - My clip</title>"), QStringLiteral("My clip")},
        {QStringLiteral("<title>YouTube - A</title><title>YouTube - B</title>"),
         QStringLiteral("A")},
        {QStringLiteral("<title>YouTube - no tag follows"), QString()},
        {QStringLiteral("<title>Other - x</title>"), QString()},
        {QStringLiteral("<TITLE>YouTube - x</TITLE>"), QString()},
        {QStringLiteral("<title>YouTube - </title>"), QString()},
        // Text read byte for byte is put back into bytes and decoded as UTF-8.
        {QStringLiteral("<title>YouTube - Caf\u00C3\u00A9</title>"),
         QString::fromUtf16(u"Caf\u00E9")},
        {QStringLiteral("<title>YouTube - \u00E2\u0080\u0099</title>"),
         QString::fromUtf16(u"\u2019")},
        // No UTF-8 test here: a lone Latin-1 byte becomes a replacement character.
        {QStringLiteral("<title>YouTube - Caf\u00E9</title>"), QString::fromUtf16(u"Caf\uFFFD")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.page.toStdString());
        EXPECT_EQ(TextAfterMarker(c.page, marker), c.text);
    }
}
