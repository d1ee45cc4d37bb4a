// Titles from the feed and the fallback page: their limits and suffixes, and
// that a title written into either gives the same title back.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "service/AnsiCodePage.h"
#include "service/FormatTable.h"
#include "service/TitleTexts.h"

namespace {

const QString FallbackMarker = QStringLiteral("<title>YouTube - ");

QString feedSuffix(int formatIndex)
{
    const VideoFormat *format = formatAt(formatIndex);
    return format ? format->FeedSuffix : QString();
}

void checkFeed(QByteArrayView feed, int formatIndex)
{
    const QString title = TitleFromFeed(feed, formatIndex);
    FUZZ_REQUIRE(title.size() <= MaxTitleLength);
    if (!feed.contains("<title"))
        FUZZ_REQUIRE(title.isEmpty());
    if (!title.isEmpty())
        FUZZ_REQUIRE(title.endsWith(feedSuffix(formatIndex)));
}

// A feed entry as the data API writes it, the title in UTF-8.
void checkFeedRoundTrip(const QString &title, int formatIndex)
{
    const QByteArray bytes = title.toUtf8();
    const QByteArray feed = QByteArrayLiteral("<?xml version='1.0' encoding='UTF-8'?>"
                                              "<entry xmlns='http://www.w3.org/2005/Atom'>"
                                              "<id>http://gdata.youtube.com/feeds/api/videos/x</id>"
                                              "<title type='text'>") +
                            bytes + QByteArrayLiteral("</title><content type='text'>c</content>");
    QString expected =
        title.isEmpty() ? QString() : QString::fromUtf8(bytes) + feedSuffix(formatIndex);
    if (expected.size() > MaxTitleLength)
        expected.clear();
    FUZZ_REQUIRE(TitleFromFeed(feed, formatIndex) == expected);
}

void checkPage(const QString &page)
{
    const QString text = TextAfterMarker(page, FallbackMarker);
    FUZZ_REQUIRE(!text.contains(QLatin1Char('<')));
    if (!page.contains(FallbackMarker))
        FUZZ_REQUIRE(text.isEmpty());
}

// The fallback page read byte for byte (no charset) or in the code page.
void checkPageRoundTrip(const QString &title)
{
    const QByteArray bytes = title.toUtf8();
    for (const QString &body : {QString::fromLatin1(bytes), AnsiToUnicode(bytes)}) {
        const QString page = QStringLiteral("<html><head>") + FallbackMarker + body +
                             QStringLiteral("</title></head><body></body></html>");
        FUZZ_REQUIRE(TextAfterMarker(page, FallbackMarker) == QString::fromUtf8(bytes));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int formatIndex = int(FuzzInput::number(input.field(), 2) % 8);
    const QByteArrayView feed = input.rest();
    const QString text = FuzzInput::text(feed);

    checkFeed(feed, formatIndex);
    checkPage(text);
    checkPage(AnsiToUnicode(feed));
    if (!text.contains(QLatin1Char('<'))) {
        checkFeedRoundTrip(text, formatIndex);
        checkPageRoundTrip(text);
    }
    return 0;
}
