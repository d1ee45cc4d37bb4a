#include "job/TimeTexts.h"

#include "convert/NumberReadingError.h"

#include <gtest/gtest.h>
#include <random>
#include <utility>
#include <vector>

namespace {

// The size text worked out one decimal digit at a time, the slow and plain
// way: the exact quotient's digits, rounded half up at the 18th significant
// digit and then at the shown decimals.
QString digitByDigitSize(qint64 bytes)
{
    if (bytes < 1024)
        return QString::number(bytes) + QStringLiteral(" B");
    const int shift = bytes >= (qint64(1) << 30) ? 30 : bytes >= (qint64(1) << 20) ? 20 : 10;
    const int decimals = shift == 30 ? 3 : shift == 20 ? 2 : 0;
    // bytes / 2^shift = bytes * 5^shift / 10^shift.
    std::vector<int> digits;
    for (const QChar c : QString::number(bytes))
        digits.push_back(c.digitValue());
    for (int i = 0; i < shift; ++i) {
        int carry = 0;
        for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
            const int product = *it * 5 + carry;
            *it = product % 10;
            carry = product / 10;
        }
        if (carry > 0)
            digits.insert(digits.begin(), carry);
    }
    const auto roundAt = [&digits](std::size_t keep) {
        if (keep >= digits.size())
            return;
        const bool up = digits[keep] >= 5;
        for (std::size_t i = keep; i < digits.size(); ++i)
            digits[i] = 0;
        for (std::size_t i = keep; up && i > 0; --i) {
            if (++digits[i - 1] < 10)
                return;
            digits[i - 1] = 0;
        }
        if (up)
            digits.insert(digits.begin(), 1);
    };
    roundAt(18);
    roundAt(digits.size() - std::size_t(shift) + std::size_t(decimals));
    const std::size_t wholeDigits = digits.size() - std::size_t(shift);
    QString text;
    for (std::size_t i = 0; i < wholeDigits + std::size_t(decimals); ++i) {
        if (i == wholeDigits)
            text += QLatin1Char('.');
        text += QChar(u'0' + digits[i]);
    }
    return text + (shift == 30   ? QStringLiteral(" GB")
                   : shift == 20 ? QStringLiteral(" MB")
                                 : QStringLiteral(" KB"));
}

} // namespace

TEST(TimeTexts, FormatElapsedKeepsTwoDigitsPerField)
{
    const std::vector<std::pair<quint32, const char *>> cases{
        {0, "00:00:00"},         {999, "00:00:00"},       {1000, "00:00:01"},
        {61000, "00:01:01"},     {3600000, "01:00:00"},   {45296000, "12:34:56"},
        {359999999, "99:59:59"}, {360000000, "00:00:00"}, {4294967295u, "93:02:47"},
    };
    for (const auto &[ms, text] : cases) {
        SCOPED_TRACE(ms);
        EXPECT_EQ(FormatElapsed(ms), QString::fromLatin1(text));
    }
}

TEST(TimeTexts, FormatSizePicksUnitAndRoundsHalvesUp)
{
    const std::vector<std::pair<qint64, const char *>> cases{
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1 KB"},
        {1535, "1 KB"},
        {1536, "2 KB"},
        {2560, "3 KB"},
        {32768, "32 KB"},
        {1048575, "1024 KB"},
        {1048576, "1.00 MB"},
        {1179648, "1.13 MB"},
        {5000000, "4.77 MB"},
        {123456789, "117.74 MB"},
        {1073741823, "1024.00 MB"},
        {1073741824, "1.000 GB"},
        {1610612736, "1.500 GB"},
        {5368709120, "5.000 GB"},
        // A half thousandth of a GiB rounds up; one byte less rounds down.
        {1073741824 + 536871, "1.001 GB"},
        {1073741824 + 536870, "1.000 GB"},
        {std::numeric_limits<qint64>::max(), "8589934592.000 GB"},
        // Just under a half thousandth: the 18th significant digit rounds up
        // first, and with it the shown one.
        {10737418398376919, "10000000.148 GB"},
        {10737418819283714, "10000000.540 GB"},
    };
    for (const auto &[bytes, text] : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(FormatSize(bytes), QString::fromLatin1(text));
    }
}

TEST(TimeTexts, FormatSizeAgreesWithTheDigitByDigitQuotient)
{
    std::vector<qint64> counts;
    // Around every half unit where the shown figure steps, in each unit's range.
    for (qint64 half = 512; half < (qint64(1) << 20); half += 1024)
        counts.insert(counts.end(), {half - 1, half, half + 1});
    for (qint64 j = 0; j < 1024 * 100; j += 7) {
        const qint64 half = (qint64(1) << 20) + (2 * j + 1) * (qint64(1) << 20) / 200;
        counts.insert(counts.end(), {half - 1, half, half + 1});
    }
    for (qint64 j = 0; j < 4000000; j += 997) {
        const qint64 half = (qint64(1) << 30) + (2 * j + 1) * (qint64(1) << 30) / 2000;
        counts.insert(counts.end(), {half - 1, half, half + 1});
    }
    // Counts of every magnitude, up to the largest.
    std::mt19937_64 random(15);
    for (int i = 0; i < 20000; ++i)
        counts.push_back(qint64(random() >> (random() % 64)));
    counts.push_back(std::numeric_limits<qint64>::max());
    for (const qint64 bytes : counts) {
        ASSERT_EQ(FormatSize(bytes), digitByDigitSize(bytes)) << bytes;
    }
}

TEST(TimeTexts, FormatSizeUsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(FormatSize(5000000, QLatin1Char(',')), QStringLiteral("4,77 MB"));
    EXPECT_EQ(FormatSize(1610612736, QLatin1Char(',')), QStringLiteral("1,500 GB"));
    EXPECT_EQ(FormatSize(32768, QLatin1Char(',')), QStringLiteral("32 KB"));
}

TEST(TimeTexts, TimeToSecReadsOnlyWellPlacedColons)
{
    const std::vector<std::pair<const char *, qint32>> cases{
        {"00:03:33", 213}, {"01:00:00", 3600},  {"N/A, sta", 0},    {"00:03", 0},
        {"1:02:03", 0},    {"00:75:00", 4500},  {" 1:02:03", 3723}, {"", 0},
        {"00:03:3", 183},  {"-1:00:00", -3600}, {"00:00:05.25", 5},
    };
    for (const auto &[text, seconds] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TimeToSec(QString::fromLatin1(text)), seconds);
    }
}

TEST(TimeTexts, TimeToSecRaisesForFieldsThatAreNoNumbers)
{
    for (const char *text : {"0a:00:00", "00:00:", "00: x:00", "00:0 :00", "+ :00:00"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(TimeToSec(QString::fromLatin1(text)), NumberReadingError);
    }
    try {
        TimeToSec(QStringLiteral("0a:00:00"));
    } catch (const NumberReadingError &error) {
        EXPECT_STREQ(error.what(), "'0a' is not a valid integer value");
    }
}

TEST(TimeTexts, SecToTimeGrowsHoursPastTwoDigits)
{
    const std::vector<std::pair<qint32, const char *>> cases{
        {0, "00:00:00"},    {5, "00:00:05"},     {60, "00:01:00"},     {213, "00:03:33"},
        {3599, "00:59:59"}, {36000, "10:00:00"}, {359999, "99:59:59"}, {360000, "100:00:00"},
    };
    for (const auto &[sec, text] : cases) {
        SCOPED_TRACE(sec);
        EXPECT_EQ(SecToTime(sec), QString::fromLatin1(text));
    }
}
