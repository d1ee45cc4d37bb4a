#pragma once

#include <QPalette>

class QColor;
class QStyle;

// WCAG's contrast ratio of two colours, 1 to 21.
double ContrastRatio(const QColor &a, const QColor &b);

// The style's own light palette: the panels and gradients are fixed colours,
// so the texts, fields and buttons on them keep the designed colours whatever
// the desktop's palette (a dark one would put light text on the light panels).
// The selection is darkened until its text keeps 4.5:1 contrast.
QPalette DesignedPalette(const QStyle &style);
