#include "job/TimeTexts.h"

#include "convert/NumberReadingError.h"

#include <algorithm>
#include <vector>

namespace {

QString lastTwoDigits(quint32 value)
{
    return (QStringLiteral("00") + QString::number(value)).right(2);
}

QString atLeastTwoDigits(qint32 value)
{
    return value < 10 ? QStringLiteral("0") + QString::number(value) : QString::number(value);
}

// Decimal digits, most significant first, of a number with a fixed count of
// fraction digits; used to round byte counts exactly as decimal text.
struct DecimalDigits
{
    std::vector<int> digits;
    std::size_t fractionDigits = 0;

    // Keeps the first `keep` digits, rounding half up on the next one; the
    // digits after them become zeros so the point stays in place.
    void roundAt(std::size_t keep)
    {
        if (keep >= digits.size())
            return;
        const bool up = digits[keep] >= 5;
        for (std::size_t i = keep; i < digits.size(); ++i)
            digits[i] = 0;
        if (!up)
            return;
        for (std::size_t i = keep; i > 0; --i) {
            if (++digits[i - 1] < 10)
                return;
            digits[i - 1] = 0;
        }
        digits.insert(digits.begin(), 1);
    }
};

// bytes / 2^shift, exactly: bytes * 5^shift with `shift` fraction digits.
DecimalDigits exactQuotient(quint64 bytes, int shift)
{
    DecimalDigits number;
    for (const QChar c : QString::number(bytes))
        number.digits.push_back(c.digitValue());
    // By up to 5^25 at a time: a digit times the factor plus the carry (less
    // than the factor) stays below 10 * 5^25, well inside 64 bits. A transfer
    // formats two sizes for every piece, so the few passes matter.
    constexpr int MaxPowerOfFive = 25;
    for (int done = 0; done < shift;) {
        const int power = std::min(MaxPowerOfFive, shift - done);
        qint64 factor = 1;
        for (int i = 0; i < power; ++i)
            factor *= 5;
        qint64 carry = 0;
        for (auto it = number.digits.rbegin(); it != number.digits.rend(); ++it) {
            const qint64 product = *it * factor + carry;
            *it = int(product % 10);
            carry = product / 10;
        }
        for (; carry > 0; carry /= 10)
            number.digits.insert(number.digits.begin(), int(carry % 10));
        done += power;
    }
    number.fractionDigits = static_cast<std::size_t>(shift);
    while (number.digits.size() <= number.fractionDigits)
        number.digits.insert(number.digits.begin(), 0);
    return number;
}

// The quotient taken to 18 significant digits, then to `decimals` places,
// halves going up both times.
QString scaledSize(quint64 bytes, int shift, int decimals, QChar separator)
{
    constexpr std::size_t SignificantDigits = 18;
    DecimalDigits number = exactQuotient(bytes, shift);
    std::size_t firstNonZero = 0;
    while (firstNonZero < number.digits.size() && number.digits[firstNonZero] == 0)
        ++firstNonZero;
    number.roundAt(firstNonZero + SignificantDigits);
    number.roundAt(number.digits.size() - number.fractionDigits +
                   static_cast<std::size_t>(decimals));

    const std::size_t integerEnd = number.digits.size() - number.fractionDigits;
    QString text;
    for (std::size_t i = 0; i < integerEnd; ++i) {
        if (text.isEmpty() && number.digits[i] == 0 && i + 1 < integerEnd)
            continue;
        text += QChar(u'0' + number.digits[i]);
    }
    if (decimals > 0) {
        text += separator;
        for (std::size_t i = integerEnd; i < integerEnd + static_cast<std::size_t>(decimals); ++i)
            text += QChar(u'0' + number.digits[i]);
    }
    return text;
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
    if (bytes >= (qint64(1) << 30))
        return scaledSize(quint64(bytes), 30, 3, decimalSeparator) + QStringLiteral(" GB");
    if (bytes >= (qint64(1) << 20))
        return scaledSize(quint64(bytes), 20, 2, decimalSeparator) + QStringLiteral(" MB");
    if (bytes >= 1024)
        return scaledSize(quint64(bytes), 10, 0, decimalSeparator) + QStringLiteral(" KB");
    return QString::number(bytes) + QStringLiteral(" B");
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
