#pragma once

#include <QColor>
#include <QList>

class QPainter;
class QRect;

// Banded gradients: each band is a plain colour, band i being
// start + round(i * (end - start) / n) per colour part, so the last band stops
// one step short of the end colour.
class Gradient
{
public:
    struct Band
    {
        int from = 0;   // first row (or column)
        int extent = 0; // rows (or columns) covered, before cutting at the edge
        QRgb color = 0;
    };

    // Background of a markup label: n = width div 4 bands (at least one),
    // band i covering round(i * h) .. round(i * h) + trunc(h) where h = height / n.
    static QList<Band> labelBands(int width, int height, QRgb start, QRgb end);
    // Flat button: 16 bands, each round(h) + 1 rows high where h = height / 16.
    static QList<Band> buttonBands(int height, QRgb start, QRgb end);

    static QRgb bandColor(int i, int n, QRgb start, QRgb end);
    // Fills `rect` band by band from top to bottom (or left to right), cut at its edge.
    static void paint(QPainter &painter, const QRect &rect, const QList<Band> &bands,
                      Qt::Orientation orientation = Qt::Vertical);
};
