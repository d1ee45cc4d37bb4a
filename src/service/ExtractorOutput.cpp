#include "service/ExtractorOutput.h"

#include <QList>

#include <cmath>

namespace {

constexpr QByteArrayView ProgressMark = "vidlark-progress";
constexpr QByteArrayView ErrorMark = "ERROR: ";

// "NA" (the extractor's unknown) and anything unreadable give nothing.
std::optional<qint64> byteCount(QByteArrayView field)
{
    if (field == "NA")
        return qint64(0);
    bool ok = false;
    const double value = QByteArray(field.data(), field.size()).toDouble(&ok);
    // Above 2^53 bytes a double is no count of bytes any more.
    if (!ok || !std::isfinite(value) || value < 0 || value > 9007199254740992.0)
        return std::nullopt;
    return static_cast<qint64>(value);
}

} // namespace

QString ExtractorProgressTemplate()
{
    return QStringLiteral("download:vidlark-progress %(progress.status)s "
                          "%(progress.downloaded_bytes)s %(progress.total_bytes)s "
                          "%(progress.total_bytes_estimate)s");
}

std::optional<ExtractorProgress> ParseExtractorProgress(QByteArrayView line)
{
    const QList<QByteArray> fields = QByteArray(line.data(), line.size()).trimmed().split(' ');
    if (fields.size() != 5 || fields[0] != ProgressMark)
        return std::nullopt;
    const std::optional<qint64> received = byteCount(fields[2]);
    const std::optional<qint64> total = byteCount(fields[3]);
    const std::optional<qint64> estimate = byteCount(fields[4]);
    if (!received || !total || !estimate)
        return std::nullopt;
    ExtractorProgress progress;
    progress.Received = *received;
    progress.Total = *total > 0 ? *total : *estimate;
    progress.Finished = fields[1] == "finished";
    return progress;
}

QString ExtractorErrorLine(QByteArrayView output, qsizetype length)
{
    qsizetype at = -1;
    for (qsizetype from = 0;;) {
        const qsizetype found = output.indexOf(ErrorMark, from);
        if (found < 0)
            break;
        if (found == 0 || output[found - 1] == '\n' || output[found - 1] == '\r')
            at = found;
        from = found + 1;
    }
    if (at < 0)
        return {};
    QByteArrayView rest = output.sliced(at + ErrorMark.size());
    const qsizetype end = rest.indexOf('\n');
    if (end >= 0)
        rest = rest.first(end);
    QString reason;
    for (const QChar c : QString::fromUtf8(rest)) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            reason.append(c);
    }
    reason = reason.trimmed();
    if (reason.size() > length) {
        reason.truncate(qMax(length - 3, qsizetype(0)));
        // Never leave half of a surrogate pair at the cut.
        if (!reason.isEmpty() && reason.back().isHighSurrogate())
            reason.chop(1);
        reason += QStringLiteral("...");
    }
    return reason;
}
