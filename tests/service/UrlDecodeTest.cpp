#include "service/UrlDecode.h"

#include <gtest/gtest.h>

TEST(HexToInt64, DigitsSuffixAndInvalidCharacters)
{
    const struct
    {
        const char *text;
        qint64 value;
    } cases[]{
        {"0", 0},         {"9", 9},
        {"a", 10},        {"F", 15},
        {"ff", 255},      {"4H", 4},
        {"4h", 4},        {"H", 0},
        {"", 0},          {"zz", 0},
        {"4g", 0},        {"g4", 0},
        {"1G2", 0},       {"7fffffffffffffff", 0x7fffffffffffffffLL},
        {"10000", 65536}, {"-1", 0},
        {" 1", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexToInt64(QString::fromLatin1(c.text)), c.value);
    }
}

TEST(HexToInt64, OnlyAsciiLettersCountAsDigits)
{
    // Full case mapping would make the ligature U+FB00 the two letters "FF".
    const struct
    {
        QString text;
        qint64 value;
    } cases[]{
        {QString::fromUtf16(u"\uFB00"), 0},  {QString::fromUtf16(u"\uFB00h"), 0},
        {QString::fromUtf16(u"1\uFB00"), 0}, {QString::fromUtf16(u"\uFF21"), 0}, // fullwidth A
        {QString::fromUtf16(u"1\u1E96"), 0}, // h with line below
        {QStringLiteral("aBcH"), 0xabc},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(HexToInt64(c.text), c.value);
    }
    EXPECT_EQ(UrlDecode(QString::fromUtf16(u"%\uFB00h")), QString(QChar(u'\0')));
    EXPECT_EQ(UrlDecode(QString::fromUtf16(u"%\uFB001x")), QString::fromUtf16(u"\u0000x", 2));
}

TEST(UrlDecode, EscapesPlusAndCutOffEscapes)
{
    const struct
    {
        QString text, decoded;
    } cases[]{
        {QStringLiteral("a%3Db"), QStringLiteral("a=b")},
        {QStringLiteral("a%3db"), QStringLiteral("a=b")},
        {QStringLiteral("a+b"), QStringLiteral("a b")},
        {QStringLiteral("%2B"), QStringLiteral("+")},
        // Escaped UTF-8 bytes stay one character each.
        {QStringLiteral("%C3%A9"), QString::fromUtf16(u"\u00C3\u00A9")},
        {QStringLiteral("%zzx"), QString::fromUtf16(u"\0x", 2)},
        {QStringLiteral("%4gx"), QString::fromUtf16(u"\0x", 2)},
        {QStringLiteral("%g4x"), QString::fromUtf16(u"\0x", 2)},
        {QStringLiteral("%4Hx"), QString::fromUtf16(u"\u0004x")},
        {QStringLiteral("ab%4"), QString::fromUtf16(u"ab\0", 3)},
        {QStringLiteral("ab%"), QString::fromUtf16(u"ab\0", 3)},
        {QStringLiteral("%%41"), QString::fromUtf16(u"\0"
                                                    "1",
                                                    2)},
        {QStringLiteral("\u00e9/\\"), QStringLiteral("\u00e9/\\")},
        {QString(), QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(UrlDecode(c.text), c.decoded);
    }
}
