// UrlDecode and HexToInt64: the decoded text never grows, any escape's two
// characters read as one byte's worth, hex digits read as std::from_chars
// reads them, and a text escaped any which way decodes back to itself.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "service/UrlDecode.h"

#include <charconv>

namespace {

bool isAsciiHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// What HexToInt64 promises, by the standard library: digits of either case and
// one final "h"; anything else is 0. Only texts short enough not to wrap.
void checkAgainstFromChars(const QString &text)
{
    QStringView digits = text;
    if (digits.endsWith(QLatin1Char('h')) || digits.endsWith(QLatin1Char('H')))
        digits.chop(1);
    bool allHex = true;
    for (const QChar c : digits)
        allHex = allHex && isAsciiHexDigit(c);
    if (!allHex) {
        FUZZ_REQUIRE(HexToInt64(text) == 0);
        return;
    }
    if (digits.size() > 15)
        return;
    const QByteArray ascii = digits.toLatin1();
    qint64 expected = 0;
    std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), expected, 16);
    FUZZ_REQUIRE(HexToInt64(text) == expected);
}

QString hexByte(char16_t value, bool lowerCase)
{
    const QString digits = QStringLiteral("%1").arg(uint(value), 2, 16, QLatin1Char('0'));
    return QLatin1Char('%') + (lowerCase ? digits : digits.toUpper());
}

// Escapes '%' and '+' always, other characters up to U+00FF when the bits say
// so, and a space as '+' or "%20".
QString escapeAnyWay(const QString &text, QByteArrayView bits)
{
    QString escaped;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        const int choice = bits.isEmpty() ? int(i) : int(quint8(bits[i % bits.size()]) >> (i % 3));
        if (u == u'%' || u == u'+' || (u <= 0xFF && (choice & 1) != 0))
            escaped += hexByte(u, (choice & 2) != 0);
        else if (u == u' ' && (choice & 4) != 0)
            escaped += QLatin1Char('+');
        else
            escaped += QChar(u);
    }
    return escaped;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QString text = FuzzInput::text(input.field());
    const QByteArrayView bits = input.rest();

    const QString decoded = UrlDecode(text);
    FUZZ_REQUIRE(decoded.size() <= text.size());
    if (!text.contains(QLatin1Char('%')))
        FUZZ_REQUIRE(decoded == QString(text).replace(QLatin1Char('+'), QLatin1Char(' ')));

    // Whatever two characters follow a '%', they stand for one byte at most.
    for (qsizetype i = 0; i + 2 <= text.size() && i < 256; ++i) {
        const qint64 value = HexToInt64(text.mid(i, 2));
        FUZZ_REQUIRE(value >= 0 && value <= 255);
    }
    checkAgainstFromChars(text);
    checkAgainstFromChars(text.left(16));

    FUZZ_REQUIRE(UrlDecode(escapeAnyWay(text, bits)) == text);
    return 0;
}
