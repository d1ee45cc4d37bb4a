#pragma once

#include <QFont>
#include <QString>

// Fonts of the window's design, mapped to what is installed. Sizes are given in
// points at 96 dots per inch and turned into pixels, so that text keeps the
// designed height on any screen.
class FontFallback
{
public:
    // Whether the family, or a family its name stands for, is installed.
    static bool installed(const QString &family);
    // `name` when installed (letter case ignored), else the closest sans-serif.
    static QString family(const QString &name);
    // Character height in pixels of a point size at 96 dpi, rounded as MulDiv does.
    static int pixelSize(int pointSize);
    static QFont font(const QString &name, int pointSize, bool bold = false);
};
