// Feeds one input to every parser a resume reads from the network or the
// disk, and checks what each promises about its result.
#include "FuzzRequire.h"
#include "net/HttpRanges.h"
#include "net/ResponseHead.h"
#include "steps/ResumeRecord.h"

#include <QDateTime>
#include <QList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    if (const std::optional<ContentRange> range = parseContentRange(input)) {
        FUZZ_REQUIRE(range->first >= 0 && range->last >= range->first);
        FUZZ_REQUIRE(range->total == -1 || range->last < range->total);
    }
    const QDateTime now(QDate(2026, 12, 9), QTime(13, 0), Qt::UTC);
    if (const std::optional<qint64> wait = parseRetryAfter(input, now))
        FUZZ_REQUIRE(*wait >= 0);
    isStrongEtag(input);

    // The input as a response head, line by line.
    ResponseHead head;
    for (const QByteArray &line : input.split('\n'))
        head.addLine(line + '\n');
    FUZZ_REQUIRE(head.contentLength >= -1);
    FUZZ_REQUIRE(head.status == 0 || (head.status >= 100 && head.status <= 999));
    // Only a 206 of exactly the range asked continues the bytes held.
    const RangeAsk ask{qint64(size % 4096), head.etag, qint64(size % 4096) * 2};
    if (judgeRangeAnswer(head, ask) == RangeVerdict::Continues) {
        const std::optional<ContentRange> range = parseContentRange(head.contentRange);
        FUZZ_REQUIRE(head.status == 206 && ask.from > 0 && range && range->first == ask.from);
        FUZZ_REQUIRE(range->total == ask.total);
    }

    // A record read back is written back the same way.
    if (const std::optional<ResumeRecord> record = parseResumeRecord(input)) {
        FUZZ_REQUIRE(record->total > 0 && !record->validator.isEmpty());
        FUZZ_REQUIRE(record->held <= record->total);
        FUZZ_REQUIRE(ByteExtents::isOrderly(record->extents, record->total));
        FUZZ_REQUIRE(record->extents.isEmpty() ||
                     ByteExtents(record->extents).prefix() == record->held);
        FUZZ_REQUIRE(ByteExtents(record->extents).list() == record->extents);
        const std::optional<ResumeRecord> again = parseResumeRecord(formatResumeRecord(*record));
        FUZZ_REQUIRE(again.has_value());
        FUZZ_REQUIRE(formatResumeRecord(*again) == formatResumeRecord(*record));
    }
    // Any text is a stream's identity without a crash.
    StreamIdentity(QString::fromUtf8(input));
    return 0;
}
