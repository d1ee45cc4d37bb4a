#include "markup/Gradient.h"

#include <QPainter>
#include <QRect>

#include <cmath>

namespace {
// Rounds halves to the even neighbour, like the original toolkit's Round.
int roundEven(double value)
{
    return int(std::nearbyint(value));
}
} // namespace

QRgb Gradient::bandColor(int i, int n, QRgb start, QRgb end)
{
    const auto part = [&](int from, int to) {
        return from + roundEven(double(i) * (to - from) / n);
    };
    return qRgb(part(qRed(start), qRed(end)), part(qGreen(start), qGreen(end)),
                part(qBlue(start), qBlue(end)));
}

QList<Gradient::Band> Gradient::labelBands(int width, int height, QRgb start, QRgb end)
{
    const int n = qMax(1, width / 4);
    const double h = double(height) / n;
    QList<Band> bands;
    bands.reserve(n);
    for (int i = 0; i < n; ++i)
        bands.append({roundEven(i * h), int(std::trunc(h)) + 1, bandColor(i, n, start, end)});
    return bands;
}

QList<Gradient::Band> Gradient::buttonBands(int height, QRgb start, QRgb end)
{
    constexpr int n = 16;
    const double h = double(height) / n;
    QList<Band> bands;
    bands.reserve(n);
    for (int i = 0; i < n; ++i)
        bands.append({roundEven(i * h), roundEven(h) + 1, bandColor(i, n, start, end)});
    return bands;
}

void Gradient::paint(QPainter &painter, const QRect &rect, const QList<Band> &bands,
                     Qt::Orientation orientation)
{
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    for (const Band &band : bands) {
        const QRect area =
            orientation == Qt::Vertical
                ? QRect(rect.left(), rect.top() + band.from, rect.width(), band.extent)
                : QRect(rect.left() + band.from, rect.top(), band.extent, rect.height());
        painter.fillRect(area, QColor(band.color));
    }
    painter.restore();
}
