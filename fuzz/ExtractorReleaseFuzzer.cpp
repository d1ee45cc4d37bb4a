// What the extractor's upkeep reads: a release's checksum list gives a hash
// only of 64 lower-case hex digits, found in the list, for the exact name; a
// version line is one printable line of at most 64 characters; a version's
// date is a real day; a cookie browser is one yt-dlp knows, with no control
// characters; any error line has one reason or none.
#include "FuzzRequire.h"
#include "service/ExtractorFailures.h"
#include "service/ExtractorRelease.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    if (const std::optional<QByteArray> hash = ReleaseChecksum(bytes, "yt-dlp")) {
        FUZZ_REQUIRE(hash->size() == 64);
        for (const char c : *hash)
            FUZZ_REQUIRE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
        FUZZ_REQUIRE(QByteArray(bytes.data(), bytes.size()).toLower().contains(*hash));
        FUZZ_REQUIRE(bytes.contains("yt-dlp"));
    }

    const QString version = ExtractorVersionLine(bytes);
    FUZZ_REQUIRE(version.size() <= 64);
    FUZZ_REQUIRE(version == version.trimmed() || version.size() == 64);
    for (const QChar c : version)
        FUZZ_REQUIRE(c.unicode() >= 0x20 && c.unicode() != 0x7f);
    const QDate date = ExtractorVersionDate(version);
    FUZZ_REQUIRE(date.isNull() || (date.isValid() && date.year() >= 0 && date.year() <= 9999));
    if (!date.isValid())
        FUZZ_REQUIRE(!ExtractorIsStale(version, QDate(2026, 1, 1)));

    const QString text = QString::fromUtf8(bytes);
    const QString browser = CookieBrowserArgument(text);
    if (!browser.isEmpty()) {
        for (const QChar c : browser)
            FUZZ_REQUIRE(c.unicode() >= 0x20 && c.unicode() != 0x7f);
        FUZZ_REQUIRE(!browser.startsWith(QLatin1Char('-')));
    }
    const ExtractorFailureKind kind = ClassifyExtractorError(text);
    FUZZ_REQUIRE(kind >= ExtractorFailureKind::Other &&
                 kind <= ExtractorFailureKind::UnsupportedLink);
    return 0;
}
