// Feeds one input to every parser a resume reads from the network or the
// disk, and checks what each promises about its result.
#include "net/HttpRanges.h"
#include "net/ResponseHead.h"
#include "steps/ResumeRecord.h"

#include <QDateTime>
#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    if (const std::optional<ContentRange> range = parseContentRange(input)) {
        check(range->first >= 0 && range->last >= range->first);
        check(range->total == -1 || range->last < range->total);
    }
    const QDateTime now(QDate(2026, 12, 9), QTime(13, 0), Qt::UTC);
    if (const std::optional<qint64> wait = parseRetryAfter(input, now))
        check(*wait >= 0);
    isStrongEtag(input);

    // The input as a response head, line by line.
    ResponseHead head;
    for (const QByteArray &line : input.split('\n'))
        head.addLine(line + '\n');
    check(head.contentLength >= -1);
    check(head.status == 0 || (head.status >= 100 && head.status <= 999));

    // A record read back is written back the same way.
    if (const std::optional<ResumeRecord> record = parseResumeRecord(input)) {
        check(record->total > 0 && !record->validator.isEmpty());
        check(record->held <= record->total);
        const std::optional<ResumeRecord> again = parseResumeRecord(formatResumeRecord(*record));
        check(again.has_value());
        check(formatResumeRecord(*again) == formatResumeRecord(*record));
    }
    // Any text is a stream's identity without a crash.
    StreamIdentity(QString::fromUtf8(input));
    return 0;
}
