#include "markup/MarkupTags.h"

#include <optional>

namespace {

// The text between the first pair of double quotes at or after `from`.
std::optional<QString> quotedAfter(const QString &text, qsizetype from)
{
    const qsizetype open = text.indexOf(QLatin1Char('"'), from);
    if (open < 0)
        return std::nullopt;
    const qsizetype close = text.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0)
        return std::nullopt;
    return text.mid(open + 1, close - open - 1);
}

// "#RRGGBB"; anything else is no colour.
QColor parseColour(const QString &value)
{
    if (value.size() < 7 || value.at(0) != QLatin1Char('#'))
        return {};
    bool okR = false, okG = false, okB = false;
    const int r = value.mid(1, 2).toInt(&okR, 16);
    const int g = value.mid(3, 2).toInt(&okG, 16);
    const int b = value.mid(5, 2).toInt(&okB, 16);
    if (!okR || !okG || !okB)
        return {};
    return QColor(r, g, b);
}

} // namespace

MarkupTags::MarkupTags(const MarkupFont &base, bool ignoreColours)
    : m_base(base)
    , m_ignoreColours(ignoreColours)
    , m_savedBackground(base.background)
{}

int MarkupTags::pointSizeFor(int n)
{
    switch (n) {
    case 1:
        return 8;
    case 2:
        return 10;
    case 3:
        return 12;
    case 4:
        return 14;
    case 5:
        return 16;
    default:
        return n;
    }
}

void MarkupTags::apply(QStringView tag, MarkupFont &state)
{
    const bool closing = tag.startsWith(QLatin1Char('/'));
    const QStringView body = closing ? tag.mid(1) : tag;
    if (body.isEmpty())
        return;
    const char16_t letter = body.at(0).toUpper().unicode();
    if (letter == u'B' && body.size() == 1) {
        state.bold = !closing;
    } else if (letter == u'F') {
        if (!closing) {
            openFont(body, state);
            return;
        }
        state.name = m_base.name;
        state.pointSize = m_base.pointSize;
        if (!m_ignoreColours)
            state.color = m_base.color;
        state.background = m_savedBackground;
    }
}

void MarkupTags::openFont(QStringView body, MarkupFont &state)
{
    m_savedBackground = state.background;
    // Only ASCII letters are folded, so names and digits compare without case.
    QString upper = body.toString();
    for (QChar &c : upper)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);

    if (const qsizetype face = upper.indexOf(QLatin1String("FACE")); face >= 0)
        if (const auto name = quotedAfter(upper, face); name && !name->isEmpty())
            state.name = *name;

    // The word must follow a space so that BGCOLOR is not taken for COLOR.
    if (const qsizetype colour = upper.indexOf(QLatin1String(" COLOR")); colour >= 0)
        if (const auto value = quotedAfter(upper, colour); value && !m_ignoreColours)
            if (const QColor c = parseColour(*value); c.isValid())
                state.color = c;

    if (const qsizetype bg = upper.indexOf(QLatin1String("BGCOLOR")); bg >= 0)
        if (const auto value = quotedAfter(upper, bg))
            if (const QColor c = parseColour(*value); c.isValid())
                state.background = c;

    if (const qsizetype size = upper.indexOf(QLatin1String("SIZE")); size >= 0) {
        const qsizetype eq = upper.indexOf(QLatin1Char('='), size);
        const qsizetype quote = eq < 0 ? -1 : upper.indexOf(QLatin1Char('"'), eq);
        if (quote >= 0) {
            qsizetype end = quote + 1;
            while (end < upper.size() && upper.at(end) >= QLatin1Char('0') &&
                   upper.at(end) <= QLatin1Char('9') && end - quote <= 4)
                ++end;
            const int n = upper.mid(quote + 1, end - quote - 1).toInt();
            // A size of 0 or no digits at all would leave no readable text.
            if (n > 0)
                state.pointSize = pointSizeFor(n);
        }
    }
}
