// The stream map: entries never hold what separates them and lose nothing
// else, a page written with a map gives that map back, the search finds the
// first match, and an entry's URL decodes back to the URL that was escaped.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "service/StreamMap.h"

namespace {

const QString MapKey = QStringLiteral("\"url_encoded_fmt_stream_map\"");

bool endsEntry(QChar c)
{
    return c.unicode() <= 32 || c == QLatin1Char(',');
}

// Every character but the ones that end entries, up to the first NUL.
QString withoutSeparators(QStringView value)
{
    QString kept;
    for (const QChar c : value) {
        if (c.unicode() == 0)
            break;
        if (!endsEntry(c))
            kept += c;
    }
    return kept;
}

void checkSplit(const QString &value)
{
    const QStringList entries = SplitStreamMap(value);
    for (const QString &entry : entries)
        for (const QChar c : entry)
            FUZZ_REQUIRE(!endsEntry(c));
    FUZZ_REQUIRE(entries.join(QString()) == withoutSeparators(value));
}

void checkPage(const QString &page, const QString &itag)
{
    const std::optional<QStringList> entries = StreamMapEntries(page);
    FUZZ_REQUIRE(entries.has_value() == page.contains(MapKey));
    if (!entries)
        return;
    for (const QString &entry : *entries) {
        FUZZ_REQUIRE(!entry.contains(QLatin1Char('"')));
        FUZZ_REQUIRE(page.contains(entry));
    }

    const qsizetype found = FindStreamEntry(*entries, itag);
    FUZZ_REQUIRE(found >= -1 && found < entries->size());
    for (qsizetype i = 0; i < (found < 0 ? entries->size() : found); ++i)
        FUZZ_REQUIRE(!entries->at(i).contains(itag));
    if (found >= 0)
        FUZZ_REQUIRE(entries->at(found).contains(itag));

    for (const QString &entry : *entries) {
        const std::optional<QString> url = StreamUrlOfEntry(entry);
        const qsizetype urlAt = entry.indexOf(QStringLiteral("url="));
        FUZZ_REQUIRE(url.has_value() == (urlAt >= 0));
        if (!url)
            continue;
        // Unescaping only shortens what follows "url="; the signature is
        // copied from what follows "sig=" (which may lie inside the URL, when
        // no escaped "&" ends it) and adds its key.
        const qsizetype sigAt = entry.indexOf(QStringLiteral("sig="));
        const qsizetype bound =
            entry.size() - urlAt - 4 + (sigAt < 0 ? 0 : 11 + entry.size() - sigAt - 4);
        FUZZ_REQUIRE(url->size() <= bound);
    }
}

// A map the service could write from these entries gives them back.
void checkWrittenMap(const QString &page)
{
    QStringList written;
    for (const QString &entry : SplitStreamMap(page))
        if (!entry.isEmpty() && !entry.contains(QLatin1Char('"')))
            written << entry;
    const QString watchPage = QStringLiteral("<script>var swfConfig = {\"args\": {") + MapKey +
                              QStringLiteral(": \"") + written.join(QLatin1Char(',')) +
                              QStringLiteral("\", \"ttsurl\": \"x\"}};</script>");
    FUZZ_REQUIRE(StreamMapEntries(watchPage) == written);
}

// Escapes every character up to U+00FF but letters and digits as "%XX".
QString escaped(const QString &text)
{
    QString result;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                           (u >= u'0' && u <= u'9') || u > 0xFF;
        result +=
            plain ? QString(c)
                  : QLatin1Char('%') + QStringLiteral("%1").arg(uint(u), 2, 16, QLatin1Char('0'));
    }
    return result;
}

// An entry as the service writes it: the URL escaped twice, pairs joined by
// an escaped "&", the signature last.
void checkEntryUrl(const QString &url, const QString &signature)
{
    const QString entry = QStringLiteral("url=") + escaped(escaped(url)) +
                          QStringLiteral("\\u0026quality=medium\\u0026itag=34");
    FUZZ_REQUIRE(StreamUrlOfEntry(entry) == url);

    QString sig = signature;
    sig.remove(QLatin1Char('\\'));
    FUZZ_REQUIRE(StreamUrlOfEntry(entry + QStringLiteral("\\u0026sig=") + sig) ==
                 url + QStringLiteral("&signature=") + sig);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QString page = FuzzInput::text(input.field());
    const QString itag = input.atEnd() ? QStringLiteral("itag=34") : FuzzInput::text(input.field());

    checkSplit(page);
    checkPage(page, itag);
    checkWrittenMap(page);
    checkEntryUrl(page.left(512), itag);
    return 0;
}
