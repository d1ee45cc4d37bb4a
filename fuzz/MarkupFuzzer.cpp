// Caption markup: what each tag may do to the font state, and a layout whose
// lines and pieces add up, measured by a stand-in for the screen.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "markup/MarkupLayout.h"
#include "markup/MarkupTags.h"
#include "markup/TextMeasurer.h"

namespace {

// Widths that depend on the characters, the size and the weight, like a real font's.
class StandInMeasurer final : public TextMeasurer
{
public:
    QSize measure(const MarkupFont &font, const QString &text) const override
    {
        int width = 0;
        for (const QChar c : text)
            width += (1 + c.unicode() % 5) * font.pointSize / 4 + (font.bold ? 1 : 0);
        return {width, textHeight(font) + (font.bold ? 1 : 0)};
    }
    int textHeight(const MarkupFont &font) const override { return font.pointSize + 4; }
};

bool samePlainFont(const MarkupFont &a, const MarkupFont &b)
{
    return a.name == b.name && a.pointSize == b.pointSize;
}

void checkTags(const QString &caption, const MarkupFont &base, bool ignoreColours)
{
    MarkupTags tags(base, ignoreColours);
    MarkupFont state = base;
    for (qsizetype open = caption.indexOf(QLatin1Char('<')); open >= 0;
         open = caption.indexOf(QLatin1Char('<'), open + 1)) {
        const qsizetype close = caption.indexOf(QLatin1Char('>'), open);
        if (close < 0)
            break;
        const QStringView tag = QStringView(caption).mid(open + 1, close - open - 1);
        const MarkupFont before = state;
        tags.apply(tag, state);
        // Sizes stay readable: 1 to 9999 points (at most four digits are read).
        FUZZ_REQUIRE(state.pointSize >= 1 && state.pointSize <= 9999);
        if (ignoreColours)
            FUZZ_REQUIRE(state.color == base.color);
        if (tag.compare(QLatin1String("B"), Qt::CaseInsensitive) == 0)
            FUZZ_REQUIRE(state.bold && samePlainFont(state, before));
        if (tag.compare(QLatin1String("/B"), Qt::CaseInsensitive) == 0)
            FUZZ_REQUIRE(!state.bold && samePlainFont(state, before));
        if (tag.startsWith(QLatin1String("/F"), Qt::CaseInsensitive) && !ignoreColours)
            FUZZ_REQUIRE(samePlainFont(state, base) && state.color == base.color);
        if (!tag.startsWith(QLatin1Char('/')) &&
            !tag.startsWith(QLatin1Char('F'), Qt::CaseInsensitive) &&
            !tag.startsWith(QLatin1Char('B'), Qt::CaseInsensitive))
            FUZZ_REQUIRE(state == before); // unknown tags change nothing
    }
}

void checkLayout(const QString &caption, const MarkupFont &base, QSize rect, bool ignoreColours)
{
    const StandInMeasurer measurer;
    const MarkupLayout layout = MarkupLayout::build(caption, base, rect, measurer, ignoreColours);
    FUZZ_REQUIRE(layout.visibleLines >= 0 && layout.visibleLines <= layout.lines.size());
    int top = 0;
    int widest = 0;
    for (qsizetype i = 0; i < layout.lines.size(); ++i) {
        const MarkupLine &line = layout.lines.at(i);
        FUZZ_REQUIRE(!line.pieces.isEmpty());
        FUZZ_REQUIRE(line.top == top);
        int x = 0;
        int height = 0;
        for (const MarkupPiece &piece : line.pieces) {
            FUZZ_REQUIRE(!piece.text.isEmpty());
            FUZZ_REQUIRE(piece.x == x);
            FUZZ_REQUIRE(piece.width == measurer.measure(piece.font, piece.text).width());
            x += piece.width;
            height = qMax(height, piece.height);
        }
        FUZZ_REQUIRE(line.width == x);
        FUZZ_REQUIRE(line.height >= height);
        // Only a piece alone on its line may reach the right edge.
        if (line.pieces.size() > 1)
            FUZZ_REQUIRE(line.width < rect.width());
        top += line.height;
        widest = qMax(widest, line.width);
        if (i < layout.visibleLines)
            FUZZ_REQUIRE(top <= rect.height());
    }
    FUZZ_REQUIRE(layout.size == QSize(widest, top));
    // Tags and blanks go, entities shrink: never more text than came in.
    FUZZ_REQUIRE(layout.plainText().size() <= caption.size());
    // What a screen reader hears holds no tag: a "<" comes only from "&lt;".
    const QString plain = MarkupLayout::plainTextOf(caption);
    FUZZ_REQUIRE(plain.size() <= caption.size());
    FUZZ_REQUIRE(!plain.contains(QLatin1Char('<')) || caption.contains(QLatin1String("&lt;")));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // "WIDTH HEIGHT POINTS FLAGS", then the caption.
    const QList<QByteArray> numbers = input.field().toByteArray().split(' ');
    auto numberAt = [&](qsizetype i, qint64 otherwise) {
        return i < numbers.size() ? FuzzInput::number(numbers.at(i), otherwise) : otherwise;
    };
    const QSize rect(int(numberAt(0, 374) % 4096), int(numberAt(1, 20) % 4096));
    MarkupFont base;
    base.name = QStringLiteral("Tahoma");
    base.pointSize = int(1 + qAbs(numberAt(2, 8)) % 72);
    const qint64 flags = numberAt(3, 0);
    base.bold = flags & 1;
    if (flags & 2)
        base.background = QColor(0xF3, 0xF1, 0xEB);
    const bool ignoreColours = flags & 4;
    const QString caption = FuzzInput::text(input.rest());

    checkTags(caption, base, ignoreColours);
    checkLayout(caption, base, rect, ignoreColours);
    return 0;
}
