#pragma once

#include "markup/MarkupFont.h"

#include <QSize>
#include <QString>

// Measures text in a font state; the layout asks nothing else of the screen.
class TextMeasurer
{
public:
    virtual ~TextMeasurer() = default;
    virtual QSize measure(const MarkupFont &font, const QString &text) const = 0;
    // Height of a line of text in this font, also for an empty line.
    virtual int textHeight(const MarkupFont &font) const = 0;
};
