#include "markup/MarkupLayout.h"

#include "markup/MarkupTags.h"
#include "markup/TextMeasurer.h"

namespace {

// Blanks are control characters and spaces; "&nbsp;" is text at this point.
QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= ' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= ' ')
        --last;
    return text.mid(first, last - first);
}

QString replaceEntities(QString piece)
{
    piece.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    piece.replace(QLatin1String("&lt;"), QLatin1String("<"));
    piece.replace(QLatin1String("&gt;"), QLatin1String(">"));
    return piece;
}

// Length of the next piece: up to the next tag, or up to and including the next space.
qsizetype pieceLength(const QString &rest)
{
    qsizetype cut = rest.size();
    if (const qsizetype tag = rest.indexOf(QLatin1Char('<')); tag >= 0)
        cut = tag;
    if (const qsizetype space = rest.indexOf(QLatin1Char(' ')); space >= 0 && space + 1 < cut)
        cut = space + 1;
    return cut;
}

// Everything is as narrow as nothing, so a caption takes one line.
class NoWidths final : public TextMeasurer
{
public:
    QSize measure(const MarkupFont &, const QString &) const override { return {0, 1}; }
    int textHeight(const MarkupFont &) const override { return 1; }
};

} // namespace

QString MarkupLayout::plainTextOf(const QString &caption)
{
    return build(caption, MarkupFont(), QSize(1, 1), NoWidths()).plainText().simplified();
}

QString MarkupLayout::plainText() const
{
    QString text;
    for (const MarkupLine &line : lines)
        for (const MarkupPiece &piece : line.pieces)
            text += piece.text;
    return text;
}

MarkupLayout MarkupLayout::build(const QString &caption, const MarkupFont &base, QSize rect,
                                 const TextMeasurer &measurer, bool ignoreColours)
{
    MarkupLayout layout;
    MarkupTags tags(base, ignoreColours);
    MarkupFont state = base;
    QString rest = caption;
    int top = 0;

    for (;;) {
        rest = trimBlanks(rest);
        if (rest.isEmpty())
            break;
        MarkupLine line;
        line.top = top;
        line.height = measurer.textHeight(state);
        int x = 0;
        while (!rest.isEmpty()) {
            if (rest.at(0) == QLatin1Char('<')) {
                const qsizetype end = rest.indexOf(QLatin1Char('>'));
                if (end < 0) {
                    rest.clear(); // an unclosed tag ends the caption
                    break;
                }
                tags.apply(QStringView(rest).mid(1, end - 1), state);
                rest.remove(0, end + 1);
                continue;
            }
            const qsizetype length = pieceLength(rest);
            MarkupPiece piece;
            piece.text = replaceEntities(rest.left(length));
            piece.font = state;
            const QSize size = measurer.measure(state, piece.text);
            // A piece alone on its line stays there however wide it is.
            if (!line.pieces.isEmpty() && x + size.width() >= rect.width())
                break;
            piece.x = x;
            piece.width = size.width();
            piece.height = size.height();
            x += piece.width;
            line.height = qMax(line.height, piece.height);
            line.pieces.append(piece);
            rest.remove(0, length);
        }
        if (line.pieces.isEmpty())
            break;
        line.width = x;
        top += line.height;
        layout.size.setWidth(qMax(layout.size.width(), line.width));
        layout.size.setHeight(top);
        if (top <= rect.height() && layout.visibleLines == layout.lines.size())
            ++layout.visibleLines;
        layout.lines.append(line);
    }
    return layout;
}
