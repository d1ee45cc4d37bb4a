#pragma once

#include "markup/MarkupLayout.h"
#include "markup/TextMeasurer.h"

#include <QFont>
#include <QPoint>

class QPainter;

// Measures captions with the installed fonts and draws laid-out captions.
class MarkupPainter final : public TextMeasurer
{
public:
    QSize measure(const MarkupFont &font, const QString &text) const override;
    int textHeight(const MarkupFont &font) const override;

    static QFont qfont(const MarkupFont &font);
    // Draws the lines that fit, each piece on its line's bottom edge.
    static void draw(QPainter &painter, const MarkupLayout &layout, QPoint origin);
};
