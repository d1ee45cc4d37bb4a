// The external extractor's output lines: a progress line gives counts that are
// never negative, and the reason taken from any output is one line of
// printable characters no longer than a status panel shows, found only where
// an "ERROR: " line is.
#include "FuzzRequire.h"
#include "service/ExtractorOutput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    if (const std::optional<ExtractorProgress> progress = ParseExtractorProgress(bytes)) {
        FUZZ_REQUIRE(progress->Received >= 0);
        FUZZ_REQUIRE(progress->Total >= 0);
        FUZZ_REQUIRE(bytes.contains("vidlark-progress"));
    }

    const QString reason = ExtractorErrorLine(bytes);
    FUZZ_REQUIRE(reason.size() <= 200);
    if (!reason.isEmpty())
        FUZZ_REQUIRE(bytes.contains("ERROR: "));
    for (const QChar c : reason)
        FUZZ_REQUIRE(c.unicode() >= 0x20 && c.unicode() != 0x7f);
    FUZZ_REQUIRE(reason == reason.trimmed() || reason.endsWith(QStringLiteral("...")));
    return 0;
}
