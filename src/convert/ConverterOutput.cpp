#include "convert/ConverterOutput.h"

#include "convert/NumberReadingError.h"

#include <QRegularExpression>

#include <cfenv>
#include <cmath>

namespace {

const QString TimeMarker = QStringLiteral("time=");

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; unassigned bytes keep their value.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool startsNumber(QChar c)
{
    return isAsciiDigit(c) || c == QLatin1Char('.') || c == QLatin1Char(',');
}

[[noreturn]] void notANumber(const QString &text)
{
    throw NumberReadingError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

// Whole seconds, halves to the even neighbour, whatever rounding mode is set.
double roundHalfToEven(double value)
{
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return rounded;
}

} // namespace

QString chunkText(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const qsizetype size = nul < 0 ? bytes.size() : nul;
    QString text(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        text[i] =
            byte >= 0x80 && byte < 0xA0 ? QChar(Cp1252High[byte - 0x80]) : QChar(char16_t(byte));
    }
    return text;
}

std::optional<qint32> progressSeconds(const QString &chunk, qint32 total)
{
    const qsizetype marker = chunk.indexOf(TimeMarker);
    if (total <= 0 || marker < 0)
        return std::nullopt;

    qsizetype start = marker + TimeMarker.size();
    while (start < chunk.size() && !startsNumber(chunk.at(start)))
        ++start;
    // A number that would start at the chunk's last character is cut off.
    if (start >= chunk.size() - 1)
        return std::nullopt;
    const qsizetype space = chunk.indexOf(QLatin1Char(' '), start);
    if (space < 0)
        return std::nullopt;

    const double seconds = roundHalfToEven(readProgressNumber(chunk.mid(start, space - start)));
    return seconds > total ? total : static_cast<qint32>(seconds);
}

double readProgressNumber(const QString &numberText)
{
    static const QRegularExpression plain(QStringLiteral("^(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    static const QRegularExpression clock(
        QStringLiteral("^([0-9]+):([0-9]{2}):([0-9]{2}(?:\\.[0-9]*)?)$"));

    if (plain.match(numberText).hasMatch())
        return QStringView(numberText).toDouble();
    const QRegularExpressionMatch parts = clock.match(numberText);
    if (!parts.hasMatch())
        notANumber(numberText);
    return parts.capturedView(1).toDouble() * 3600 + parts.capturedView(2).toDouble() * 60 +
           parts.capturedView(3).toDouble();
}
