#include "service/AnsiCodePage.h"

#include "service/LooksLikeUtf8.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

// The system converter's reading of one byte, or nullopt when it rejects it.
std::optional<char32_t> iconvChar(iconv_t cd, quint8 byte)
{
    char in[1]{static_cast<char>(byte)};
    char32_t out[2]{};
    char *inPtr = in;
    char *outPtr = reinterpret_cast<char *>(out);
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    return out[0];
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(static_cast<char>(v));
    return result;
}

} // namespace

TEST(AnsiCodePage, AgreesWithTheSystemConverterWhereItHasAnAnswer)
{
    iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "no Windows-1252 converter on this system";
    int compared = 0;
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const QString ours = AnsiToUnicode(bytes({b}));
        ASSERT_EQ(ours.size(), 1);
        if (const auto theirs = iconvChar(cd, static_cast<quint8>(b))) {
            EXPECT_EQ(ours.at(0).unicode(), *theirs);
            ++compared;
        }
    }
    iconv_close(cd);
    EXPECT_GE(compared, 251);
}

TEST(AnsiCodePage, UnassignedBytesAreTheirOwnControlCharacters)
{
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        SCOPED_TRACE(b);
        EXPECT_EQ(AnsiToUnicode(bytes({b})), QString(QChar(static_cast<char16_t>(b))));
    }
    EXPECT_EQ(AnsiToUnicode(bytes({0x80, 0x9F, 0x00, 0xFF})),
              QString::fromUtf16(u"\u20AC\u0178\0\u00FF", 4));
}

TEST(AnsiCodePage, EveryByteSurvivesTheRoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(UnicodeToAnsi(AnsiToUnicode(all)), all);
}

TEST(AnsiCodePage, CharactersOutsideTheCodePage)
{
    // C1 controls read byte for byte come back as the same bytes.
    EXPECT_EQ(UnicodeToAnsi(u"\u0080\u0099"), bytes({0x80, 0x99}));
    EXPECT_EQ(UnicodeToAnsi(u"\u20AC\u2122"), bytes({0x80, 0x99}));
    // One "?" per character, also for a character outside the basic plane.
    EXPECT_EQ(UnicodeToAnsi(u"a\u0416\U0001F600b"), QByteArray("a??b"));
}

TEST(LooksLikeUtf8, WellFormedSequencesOnly)
{
    const struct
    {
        QByteArray bytes;
        bool utf8;
    } cases[]{
        {QByteArray(), false},
        {QByteArray("plain ascii"), false},
        {bytes({0xC3, 0xA9}), true},
        {bytes({'a', 0xC3, 0xA9, 'b'}), true},
        {bytes({0xC3}), false},
        {bytes({0xC3, 'a'}), false},
        {bytes({0xC1, 0xBF}), false},
        {bytes({0xC2, 0x80}), true},
        {bytes({0xDF, 0xBF}), true},
        {bytes({0x80}), false},
        {bytes({0xE0, 0xA0, 0x80}), true},
        {bytes({0xE0, 0x9F, 0xBF}), false},
        {bytes({0xE2, 0x82, 0xAC}), true},
        {bytes({0xE2, 0x82}), false},
        {bytes({0xED, 0xA0, 0x80}), true}, // an encoded surrogate is let through
        {bytes({0xEF, 0xBF, 0xBF}), true},
        {bytes({0xF0, 0x90, 0x80, 0x80}), true},
        {bytes({0xF0, 0x8F, 0xBF, 0xBF}), false},
        {bytes({0xF3, 0xBF, 0xBF, 0xBF}), true},
        {bytes({0xF4, 0x8F, 0xBF, 0xBF}), true},
        {bytes({0xF4, 0x90, 0x80, 0x80}), false},
        {bytes({0xF5, 0x80, 0x80, 0x80}), false},
        {bytes({0xFF}), false},
        {bytes({0xC3, 0xA9, 0xE9}), false}, // UTF-8 then a Latin-1 byte
        {bytes({0xE9, 't', 0xE9}), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(LooksLikeUtf8(c.bytes), c.utf8);
    }
}
