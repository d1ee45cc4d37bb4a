// LooksLikeUtf8 against Qt's own decoder, and the ANSI code page both ways.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "service/AnsiCodePage.h"
#include "service/LooksLikeUtf8.h"

#include <QList>

namespace {

bool hasNonAscii(QByteArrayView bytes)
{
    for (const char b : bytes)
        if (quint8(b) >= 0x80)
            return true;
    return false;
}

// ED A0..BF: the lead of an encoded surrogate, which the test lets through
// although no decoder keeps it.
bool hasEncodedSurrogate(QByteArrayView bytes)
{
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i)
        if (quint8(bytes[i]) == 0xED && quint8(bytes[i + 1]) >= 0xA0 &&
            quint8(bytes[i + 1]) <= 0xBF)
            return true;
    return false;
}

// Qt drops a leading byte order mark, which is no loss.
bool decodesWithoutLoss(QByteArrayView bytes)
{
    const QByteArrayView body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
    return QString::fromUtf8(bytes).toUtf8() == body;
}

void checkUtf8(QByteArrayView bytes)
{
    const bool looks = LooksLikeUtf8(bytes);
    const bool lossless = decodesWithoutLoss(bytes);
    if (looks) {
        FUZZ_REQUIRE(hasNonAscii(bytes));
        FUZZ_REQUIRE(lossless || hasEncodedSurrogate(bytes));
    }
    if (lossless && hasNonAscii(bytes))
        FUZZ_REQUIRE(looks);
}

void checkCodePage(QByteArrayView bytes, const QString &text)
{
    // Every byte is a character and comes back as itself.
    const QString decoded = AnsiToUnicode(bytes);
    FUZZ_REQUIRE(decoded.size() == bytes.size());
    FUZZ_REQUIRE(UnicodeToAnsi(decoded) == bytes);

    // One byte per character (code point); a character the code page lacks is
    // "?", the C1 controls are their own byte, the rest come back.
    const QList<uint> points = text.toUcs4();
    const QByteArray encoded = UnicodeToAnsi(text);
    FUZZ_REQUIRE(encoded.size() == points.size());
    for (qsizetype i = 0; i < points.size(); ++i) {
        const char byte = encoded.at(i);
        const uint point = points.at(i);
        if (point >= 0x80 && point <= 0x9F) {
            FUZZ_REQUIRE(quint8(byte) == point);
            continue;
        }
        const QString back = AnsiToUnicode(QByteArrayView(&byte, 1));
        FUZZ_REQUIRE(back.at(0).unicode() == point || byte == '?');
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes = FuzzInput(data, size).rest();
    checkUtf8(bytes);
    checkCodePage(bytes, FuzzInput::text(bytes));
    return 0;
}
