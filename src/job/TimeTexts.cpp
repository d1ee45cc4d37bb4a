#include "job/TimeTexts.h"

#include "convert/NumberReadingError.h"

namespace {

QString lastTwoDigits(quint32 value)
{
    return (QStringLiteral("00") + QString::number(value)).right(2);
}

QString atLeastTwoDigits(qint32 value)
{
    return value < 10 ? QStringLiteral("0") + QString::number(value) : QString::number(value);
}

// Exact for every quotient a size text needs: 10^30 and 2^30 * 5^30 fit.
__extension__ typedef unsigned __int128 Wide;

// base^0 to base^30.
template <unsigned Base> struct Powers
{
    Wide values[31]{};
    constexpr Powers()
    {
        values[0] = 1;
        for (int i = 1; i < 31; ++i)
            values[i] = values[i - 1] * Base;
    }
};
constexpr Powers<5> PowersOfFive;
constexpr Powers<10> PowersOfTen;

// A text of at most this many characters is built in place, then copied once:
// a transfer formats two sizes for every piece it receives.
constexpr int TextCapacity = 40;

struct SizeText
{
    char16_t chars[TextCapacity];
    int length = 0;

    void add(char16_t c) { chars[length++] = c; }
    void add(const char *latin1)
    {
        while (*latin1)
            add(char16_t(*latin1++));
    }
    // value in decimal, at least `width` digits with leading zeros.
    void addNumber(quint64 value, int width = 1)
    {
        char16_t digits[TextCapacity];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + int(value % 10));
            value /= 10;
        } while (value > 0 || count < width);
        while (count > 0)
            add(digits[--count]);
    }
    QString text() const { return QString(reinterpret_cast<const QChar *>(chars), length); }
};

int decimalDigits(quint64 value)
{
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

// bytes / 2^shift (at least 1) with `decimals` places: the exact quotient,
// which has `shift` fraction digits, taken first to 18 significant digits and
// then to `decimals` places, halves going up both times.
void addScaledSize(SizeText &text, quint64 bytes, int shift, int decimals, QChar separator)
{
    constexpr int SignificantDigits = 18;
    quint64 whole = bytes >> shift;
    const quint64 rest = bytes & ((quint64(1) << shift) - 1);
    // A fraction rest / 2^shift that is not on a half step of the shown
    // places is at least 1 / (5^decimals * 2^shift) away from one, and below
    // 10^7 whole units the 18 significant digits keep more than 11 places, so
    // rounding at them moves it less: rounding once gives the same figure.
    if (whole < 10000000) {
        const quint64 scale = quint64(PowersOfTen.values[decimals]);
        quint64 shown = (rest * scale + (quint64(1) << (shift - 1))) >> shift;
        if (shown == scale) {
            ++whole;
            shown = 0;
        }
        text.addNumber(whole);
        if (decimals > 0) {
            text.add(char16_t(separator.unicode()));
            text.addNumber(shown, decimals);
        }
        return;
    }
    // The fraction rest / 2^shift as an integer over 10^shift: rest * 5^shift.
    Wide fraction = Wide(rest) * PowersOfFive.values[shift];
    const Wide one = PowersOfTen.values[shift];
    const auto keepFractionDigits = [&](int kept) {
        if (kept >= shift)
            return;
        const Wide unit = PowersOfTen.values[shift - kept];
        Wide rounded = fraction / unit;
        if (fraction % unit >= unit / 2)
            ++rounded;
        fraction = rounded * unit;
        if (fraction >= one) {
            fraction -= one;
            ++whole;
        }
    };
    keepFractionDigits(SignificantDigits - decimalDigits(whole));
    keepFractionDigits(decimals);

    text.addNumber(whole);
    if (decimals > 0) {
        text.add(char16_t(separator.unicode()));
        text.addNumber(quint64(fraction / PowersOfTen.values[shift - decimals]), decimals);
    }
}

// A whole decimal number as the platform reads one: leading blanks and a sign
// allowed, nothing after the digits.
qint32 readWholeNumber(const QString &field)
{
    qsizetype i = 0;
    while (i < field.size() && field.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < field.size() && (field.at(i) == QLatin1Char('+') || field.at(i) == QLatin1Char('-'))) {
        negative = field.at(i) == QLatin1Char('-');
        ++i;
    }
    const qsizetype firstDigit = i;
    qint32 value = 0;
    while (i < field.size() && field.at(i).isDigit() && field.at(i).unicode() < 128) {
        value = value * 10 + field.at(i).digitValue();
        ++i;
    }
    if (i == firstDigit || i != field.size())
        throw NumberReadingError(QStringLiteral("'%1' is not a valid integer value").arg(field));
    return negative ? -value : value;
}

} // namespace

QString FormatElapsed(quint32 ms)
{
    const quint32 s = ms / 1000;
    return lastTwoDigits(s / 3600) + QLatin1Char(':') + lastTwoDigits((s % 3600) / 60) +
           QLatin1Char(':') + lastTwoDigits(s % 60);
}

QString FormatSize(qint64 bytes, QChar decimalSeparator)
{
    SizeText text;
    if (bytes >= (qint64(1) << 30)) {
        addScaledSize(text, quint64(bytes), 30, 3, decimalSeparator);
        text.add(" GB");
    } else if (bytes >= (qint64(1) << 20)) {
        addScaledSize(text, quint64(bytes), 20, 2, decimalSeparator);
        text.add(" MB");
    } else if (bytes >= 1024) {
        addScaledSize(text, quint64(bytes), 10, 0, decimalSeparator);
        text.add(" KB");
    } else {
        // Negative counts do not occur; they are written as the number they are.
        if (bytes < 0)
            return QString::number(bytes) + QStringLiteral(" B");
        text.addNumber(quint64(bytes));
        text.add(" B");
    }
    return text.text();
}

qint32 TimeToSec(const QString &StrTime)
{
    if (StrTime.size() < 3 || StrTime.at(2) != QLatin1Char(':'))
        return 0;
    if (StrTime.size() < 6 || StrTime.at(5) != QLatin1Char(':'))
        return 0;
    const qint32 hours = readWholeNumber(StrTime.mid(0, 2));
    const qint32 minutes = readWholeNumber(StrTime.mid(3, 2));
    const qint32 seconds = readWholeNumber(StrTime.mid(6, 2));
    return hours * 3600 + minutes * 60 + seconds;
}

QString SecToTime(qint32 Sec)
{
    const qint32 totalMinutes = Sec / 60;
    const qint32 seconds = Sec - totalMinutes * 60;
    const qint32 hours = totalMinutes / 60;
    const qint32 minutes = totalMinutes - hours * 60;
    return atLeastTwoDigits(hours) + QLatin1Char(':') + atLeastTwoDigits(minutes) +
           QLatin1Char(':') + atLeastTwoDigits(seconds);
}
