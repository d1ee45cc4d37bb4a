// The converter's output: chunk text in the code page, progress seconds that
// stay within 0 and the total, and the duration gathered from reads cut
// anywhere after its marker.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "convert/ConverterOutput.h"
#include "convert/DurationText.h"
#include "service/AnsiCodePage.h"

#include <QList>

#include <cmath>
#include <stdexcept>

namespace {

void checkChunk(const QByteArray &bytes)
{
    const QString text = chunkText(bytes);
    const qsizetype nul = bytes.indexOf('\0');
    FUZZ_REQUIRE(text == AnsiToUnicode(nul < 0 ? bytes : bytes.left(nul)));
}

void checkProgress(const QString &chunk, qint32 total)
{
    try {
        const std::optional<qint32> seconds = progressSeconds(chunk, total);
        if (seconds)
            FUZZ_REQUIRE(*seconds >= 0 && *seconds <= total);
        if (!chunk.contains(QStringLiteral("time=")) || total <= 0)
            FUZZ_REQUIRE(!seconds);
    } catch (const std::runtime_error &) {
        // A number that cannot be read is reported as such.
    }
    try {
        const double value = readProgressNumber(chunk);
        FUZZ_REQUIRE(value >= 0); // also false for NaN
    } catch (const std::runtime_error &) {
    }
}

// A progress line as FFmpeg writes it, the time from the input's numbers.
void checkProgressLine(quint32 centiseconds, qint32 total)
{
    const quint32 hours = centiseconds / 360000;
    const quint32 minutes = centiseconds / 6000 % 60;
    const quint32 seconds = centiseconds / 100 % 60;
    const quint32 hundredths = centiseconds % 100;
    auto two = [](quint32 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const QString line = QStringLiteral("frame=  412 fps=103 q=31.0 size=    1024kB time=") +
                         two(hours) + QLatin1Char(':') + two(minutes) + QLatin1Char(':') +
                         two(seconds) + QLatin1Char('.') + two(hundredths) +
                         QStringLiteral(" bitrate= 612.3kbits/s speed=4.1x    \r");
    // Whole seconds, halves to the even neighbour.
    qint64 rounded = centiseconds / 100;
    if (hundredths > 50 || (hundredths == 50 && rounded % 2 == 1))
        ++rounded;
    const std::optional<qint32> shown = progressSeconds(line, total);
    if (total <= 0) {
        FUZZ_REQUIRE(!shown);
        return;
    }
    FUZZ_REQUIRE(shown == qint32(std::min<qint64>(rounded, total)));
}

// The duration line cut into reads at the input's points, all after the marker.
void checkDurationCut(QByteArrayView points)
{
    const QString line =
        QStringLiteral("  Duration: 00:04:13.22, start: 0.000000, bitrate: 561 kb/s\n");
    const qsizetype afterMarker = line.indexOf(QLatin1Char(':')) + 1;
    DurationText duration;
    FUZZ_REQUIRE(!duration.take(QStringLiteral("Input #0, flv, from 'in.flv':\n"), false));
    qsizetype from = 0;
    qsizetype cut = afterMarker;
    for (const char point : points) {
        cut += quint8(point) % 8;
        if (cut >= line.size())
            break;
        if (duration.take(line.mid(from, cut - from), false)) {
            FUZZ_REQUIRE(duration.text() == QStringLiteral("00:04:13"));
            return;
        }
        from = cut;
    }
    FUZZ_REQUIRE(duration.take(line.mid(from), false));
    FUZZ_REQUIRE(duration.text() == QStringLiteral("00:04:13"));
}

// Reads as they come: the text, once known, is at most the 8 characters.
void checkDurationReads(const QList<QString> &reads, QByteArrayView waited)
{
    DurationText duration;
    for (qsizetype i = 0; i < reads.size(); ++i) {
        const bool waitedTooLong = i < waited.size() && (waited[i] & 1);
        if (duration.take(reads.at(i), waitedTooLong)) {
            FUZZ_REQUIRE(duration.text().size() <= 8);
            return;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // "TOTAL" then the reads.
    const QByteArrayView totalField = input.field();
    const qint32 total = qint32(FuzzInput::number(totalField, 253));
    QList<QString> reads;
    while (!input.atEnd() && reads.size() < 64) {
        const QByteArray bytes = input.field().toByteArray();
        checkChunk(bytes);
        reads << chunkText(bytes);
        checkProgress(reads.last(), total);
    }
    checkDurationReads(reads, totalField);
    checkDurationCut(totalField);

    quint32 centiseconds = 0;
    for (qsizetype i = 0; i < 4 && i < totalField.size(); ++i)
        centiseconds |= quint32(quint8(totalField[i])) << (8 * i);
    checkProgressLine(centiseconds % (100 * 360000), total);
    checkProgressLine(centiseconds % (100 * 360000), qint32(centiseconds / 100 + 1));
    return 0;
}
