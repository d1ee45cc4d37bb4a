#include "window/DesignedPalette.h"

#include <QColor>
#include <QStyle>

#include <cmath>

double ContrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QPalette DesignedPalette(const QStyle &style)
{
    QPalette palette = style.standardPalette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        QColor highlight = palette.color(group, QPalette::Highlight);
        const QColor text = palette.color(group, QPalette::HighlightedText);
        for (int step = 0; step < 20 && ContrastRatio(highlight, text) < 4.5; ++step)
            highlight = highlight.darker(110);
        palette.setColor(group, QPalette::Highlight, highlight);
    }
    return palette;
}
