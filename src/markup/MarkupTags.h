#pragma once

#include "markup/MarkupFont.h"

#include <QStringView>

// Applies one tag (the text between "<" and ">") to the font state. Tags do not
// nest: "</B>" and "</FONT>" always return to the plain state.
class MarkupTags
{
public:
    // `base` is the widget's own font; with `ignoreColours` colour attributes
    // and closing tags leave the text colour alone (selected list items).
    MarkupTags(const MarkupFont &base, bool ignoreColours);

    void apply(QStringView tag, MarkupFont &state);

    // Point size for the size attribute: 1 to 5 are the classic HTML steps.
    static int pointSizeFor(int n);

private:
    void openFont(QStringView body, MarkupFont &state);

    MarkupFont m_base;
    bool m_ignoreColours;
    QColor m_savedBackground; // background when the last font tag opened
};
