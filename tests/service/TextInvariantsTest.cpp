#include "service/AnsiCodePage.h"
#include "service/FileNaming.h"
#include "service/StreamMap.h"
#include "service/TitleTexts.h"
#include "service/UrlDecode.h"
#include "service/VideoLink.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// Random texts built from the pieces the parsers look for, so that the odd
// combinations (cut escapes, keys at the very end, stray quotes) come up often.
class TextSource
{
public:
    QString next()
    {
        static const QString pieces[]{
            QStringLiteral("youtube.com"),
            QStringLiteral("youtu.be/"),
            QStringLiteral("v="),
            QStringLiteral("v/"),
            QStringLiteral("&"),
            QStringLiteral("%"),
            QStringLiteral("%2"),
            QStringLiteral("%41"),
            QStringLiteral("+"),
            QStringLiteral("\\u0026"),
            QStringLiteral("url="),
            QStringLiteral("sig="),
            QStringLiteral("itag=34"),
            QStringLiteral("\\/"),
            QStringLiteral(","),
            QStringLiteral(" "),
            QStringLiteral("\""),
            QStringLiteral("<title"),
            QStringLiteral(">"),
            QStringLiteral("</title"),
            QStringLiteral("&amp;"),
            QStringLiteral("&nbsp;"),
            QStringLiteral(":"),
            QStringLiteral("?"),
            QString::fromUtf16(u"\u00E9"),
            QString::fromUtf16(u"\u6F22"),
            QString::fromUtf16(u"\U0001F600"),
            QStringLiteral("\"url_encoded_fmt_stream_map\": "),
        };
        QString text;
        const int count = std::uniform_int_distribution<int>(0, 40)(m_random);
        for (int i = 0; i < count; ++i)
            text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) -
                                                                             1)(m_random)];
        return text;
    }

private:
    std::mt19937 m_random{20120815};
};

} // namespace

TEST(TextInvariants, ParsersHoldTheirPromisesOnOddInput)
{
    TextSource source;
    const QString forbidden = QStringLiteral("<>|*/\\?:\"\n\r");
    for (int round = 0; round < 3000; ++round) {
        const QString text = source.next();
        SCOPED_TRACE(text.toStdString());

        if (const auto link = ParseVideoLink(text)) {
            EXPECT_FALSE(link->VideoId.contains(QLatin1Char('&')));
        }

        if (const auto entries = StreamMapEntries(text)) {
            for (const QString &entry : *entries) {
                EXPECT_FALSE(entry.contains(QLatin1Char(',')));
                EXPECT_FALSE(entry.contains(QLatin1Char(' ')));
                EXPECT_FALSE(entry.contains(QLatin1Char('"')));
            }
        }
        if (const auto url = StreamUrlOfEntry(text)) {
            EXPECT_FALSE(url->contains(QStringLiteral("\\/")));
        }

        EXPECT_LE(UrlDecode(text).size(), text.size());

        const QString cleaned = CleanFileName(text);
        for (const QChar c : forbidden)
            EXPECT_FALSE(cleaned.contains(c));

        const QString name = FitFileName(text + text + text + text + QStringLiteral(".flv"), 4);
        EXPECT_LE(name.toUtf8().size(), MaxFileNameBytes);
        EXPECT_TRUE(name.endsWith(QStringLiteral(".flv")));

        const QString title = TitleFromFeed(UnicodeToAnsi(text), 5);
        EXPECT_LE(title.size(), MaxTitleLength);
    }
}
