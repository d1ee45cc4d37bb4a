// Texts for the terminal: nothing that moves the cursor, rings the bell or
// turns the line around gets through; everything else stays, and the escapes
// read back to the characters they stand for.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "cli/TerminalText.h"

namespace {

bool isControl(char16_t u)
{
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}

// Arabic letter mark, left-to-right and right-to-left marks, embeddings,
// overrides and isolates.
bool isBidiControl(char16_t u)
{
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

// The escapes read back: "\xNN" and "\uNNNN" (lower-case hex) become their character.
QString unescaped(const QString &shown)
{
    QString text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar c = shown.at(i);
        if (c == QLatin1Char('\\') && i + 1 < shown.size()) {
            const QChar kind = shown.at(i + 1);
            const int digits = kind == QLatin1Char('x') ? 2 : kind == QLatin1Char('u') ? 4 : 0;
            bool ok = false;
            const uint value = digits > 0 && i + 1 + digits < shown.size()
                                   ? shown.mid(i + 2, digits).toUInt(&ok, 16)
                                   : 0;
            if (ok) {
                text += QChar(char16_t(value));
                i += 1 + digits;
                continue;
            }
        }
        text += c;
    }
    return text;
}

void check(const QString &text, bool keepLineFeeds)
{
    const QString shown = TerminalText(text, keepLineFeeds);
    qsizetype expectedSize = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        expectedSize += (u == u'\n' && keepLineFeeds) ? 1
                        : isControl(u)                ? 4
                        : isBidiControl(u)            ? 6
                                                      : 1;
    }
    FUZZ_REQUIRE(shown.size() == expectedSize);
    for (const QChar c : shown) {
        const char16_t u = c.unicode();
        FUZZ_REQUIRE(!isBidiControl(u));
        FUZZ_REQUIRE(!isControl(u) || (u == u'\n' && keepLineFeeds));
    }
    // Without backslashes of its own, the text comes back whole from its escapes.
    if (!text.contains(QLatin1Char('\\')))
        FUZZ_REQUIRE(unescaped(shown) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = FuzzInput::text(FuzzInput(data, size).rest());
    check(text, false);
    check(text, true);
    FUZZ_REQUIRE(
        TerminalText(text, true) ==
            TerminalText(text, false).replace(QStringLiteral("\\x0a"), QStringLiteral("\n")) ||
        text.contains(QLatin1Char('\\')));
    return 0;
}
