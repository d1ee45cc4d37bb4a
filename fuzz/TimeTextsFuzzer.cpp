// The time and size texts: their shapes, exact rounding of the sizes, and the
// clock texts read back to the seconds they were written from.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "job/TimeTexts.h"

#include <QRegularExpression>

#include <stdexcept>

namespace {

void checkElapsed(quint32 ms)
{
    const QString text = FormatElapsed(ms);
    static const QRegularExpression shape(QStringLiteral("^[0-9]{2}:[0-9]{2}:[0-9]{2}$"));
    FUZZ_REQUIRE(shape.match(text).hasMatch());
    const quint32 s = ms / 1000;
    FUZZ_REQUIRE(text.mid(0, 2).toUInt() == (s / 3600) % 100);
    FUZZ_REQUIRE(text.mid(3, 2).toUInt() == (s % 3600) / 60);
    FUZZ_REQUIRE(text.mid(6, 2).toUInt() == s % 60);
}

// bytes / 2^shift to `decimals` places: the text's number, times 2^shift,
// lies within half a unit of the last place of bytes * 10^decimals (halves go
// up, and the first rounding to 18 digits may lift a value just below a half).
void checkScaled(qint64 bytes, const QString &number, int shift, int decimals, QChar separator)
{
    const qsizetype point = decimals > 0 ? number.size() - decimals - 1 : number.size();
    FUZZ_REQUIRE(point >= 1);
    if (decimals > 0)
        FUZZ_REQUIRE(number.at(point) == separator);
    __int128 shown = 0;
    for (qsizetype i = 0; i < number.size(); ++i) {
        if (i == point)
            continue;
        FUZZ_REQUIRE(number.at(i) >= QLatin1Char('0') && number.at(i) <= QLatin1Char('9'));
        shown = shown * 10 + (number.at(i).unicode() - u'0');
    }
    FUZZ_REQUIRE(point == 1 || number.at(0) != QLatin1Char('0'));
    __int128 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const __int128 unit = __int128(1) << shift;
    const __int128 error = shown * unit - __int128(bytes) * scale; // in units of 2^-shift
    FUZZ_REQUIRE(2 * error >= -unit);
    FUZZ_REQUIRE(2 * error <= unit + unit / 100);
}

void checkSize(qint64 bytes, QChar separator)
{
    const QString text = FormatSize(bytes, separator);
    if (bytes < 1024) {
        FUZZ_REQUIRE(text == QString::number(bytes) + QStringLiteral(" B"));
        return;
    }
    struct Unit
    {
        const char *suffix;
        int shift, decimals;
    };
    const Unit unit = bytes >= (qint64(1) << 30)   ? Unit{" GB", 30, 3}
                      : bytes >= (qint64(1) << 20) ? Unit{" MB", 20, 2}
                                                   : Unit{" KB", 10, 0};
    const QString suffix = QString::fromLatin1(unit.suffix);
    FUZZ_REQUIRE(text.endsWith(suffix));
    checkScaled(bytes, text.chopped(suffix.size()), unit.shift, unit.decimals, separator);
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// "hh:mm:ss" with two digits each, minutes and seconds below 60.
bool isClockText(const QString &text)
{
    if (text.size() != 8 || text.at(2) != QLatin1Char(':') || text.at(5) != QLatin1Char(':'))
        return false;
    for (const int i : {0, 1, 3, 4, 6, 7})
        if (!isAsciiDigit(text.at(i)))
            return false;
    return text.mid(3, 2).toInt() < 60 && text.mid(6, 2).toInt() < 60;
}

void checkTimeText(const QString &text)
{
    qint32 seconds = 0;
    try {
        seconds = TimeToSec(text);
    } catch (const std::runtime_error &) {
        // A field that is no number: reported, not guessed.
        return;
    }
    FUZZ_REQUIRE(seconds >= -(99 * 3600 + 99 * 60 + 99) && seconds <= 99 * 3600 + 99 * 60 + 99);
    if (text.size() >= 8 && isClockText(text.left(8))) {
        FUZZ_REQUIRE(seconds == text.mid(0, 2).toInt() * 3600 + text.mid(3, 2).toInt() * 60 +
                                    text.mid(6, 2).toInt());
        FUZZ_REQUIRE(SecToTime(seconds) == text.left(8));
    }
}

void checkSeconds(qint32 seconds)
{
    const QString text = SecToTime(seconds);
    static const QRegularExpression shape(
        QStringLiteral("^([0-9]{2,}):([0-5][0-9]):([0-5][0-9])$"));
    const QRegularExpressionMatch parts = shape.match(text);
    FUZZ_REQUIRE(parts.hasMatch());
    FUZZ_REQUIRE(parts.captured(1).toLongLong() * 3600 + parts.captured(2).toInt() * 60 +
                     parts.captured(3).toInt() ==
                 seconds);
    if (seconds < 100 * 3600)
        FUZZ_REQUIRE(TimeToSec(text) == seconds);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QByteArrayView bytes = input.rest();
    const QString text = FuzzInput::text(bytes);

    // The same bytes as a number: written in decimal, or their first eight bytes.
    quint64 raw = 0;
    for (qsizetype i = 0; i < 8 && i < bytes.size(); ++i)
        raw |= quint64(quint8(bytes[i])) << (8 * i);
    const qint64 number = FuzzInput::number(bytes, qint64(raw));

    checkElapsed(quint32(number));
    checkSize(number, QLatin1Char('.'));
    checkSize(qint64(raw & 0x7FFFFFFFFFFFFFFF), QLatin1Char(','));
    checkTimeText(text);
    checkSeconds(qint32(quint64(number) & 0x7FFFFFFF));
    checkSeconds(qint32(raw % (100 * 3600)));
    return 0;
}
