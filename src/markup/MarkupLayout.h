#pragma once

#include "markup/MarkupFont.h"

#include <QList>
#include <QSize>
#include <QString>

class TextMeasurer;

// One measured run of text in one font state.
struct MarkupPiece
{
    QString text; // entities already replaced
    MarkupFont font;
    int x = 0;
    int width = 0;
    int height = 0;
};

struct MarkupLine
{
    int top = 0;
    int height = 0;
    int width = 0;
    QList<MarkupPiece> pieces;
};

// A caption cut into lines and pieces for a rectangle of a given size. Lines
// that would reach below the rectangle are kept (they count for the caption's
// size) and marked as not drawn.
struct MarkupLayout
{
    QList<MarkupLine> lines;
    int visibleLines = 0;
    QSize size{0, 0}; // widest line, sum of line heights; no lines measure 0 by 0

    // Pieces of all lines run together, for tests and plain-text views.
    QString plainText() const;

    static MarkupLayout build(const QString &caption, const MarkupFont &base, QSize rect,
                              const TextMeasurer &measurer, bool ignoreColours = false);
    // The caption as a screen reader speaks it: the text the layout draws, on
    // one line, without tags, entities replaced, runs of blanks made one.
    static QString plainTextOf(const QString &caption);
};
