#pragma once

#include "markup/MarkupFont.h"

#include <QFontInfo>
#include <QWidget>

// The widget's own font as the starting state of its caption: family as the
// design names it (kept in the font's family list), size in points at 96 dpi.
inline MarkupFont markupFontOf(const QWidget &widget, QColor color = {})
{
    MarkupFont font;
    const QFont &own = widget.font();
    font.name = own.families().value(0, own.family());
    font.pointSize = own.pixelSize() > 0 ? (own.pixelSize() * 72 + 48) / 96 : own.pointSize();
    font.bold = own.bold();
    font.color = color.isValid() ? color : widget.palette().color(QPalette::WindowText);
    return font;
}
