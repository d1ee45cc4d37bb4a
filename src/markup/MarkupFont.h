#pragma once

#include <QColor>
#include <QString>

// The font state while a caption is laid out: what the tags change. An invalid
// background colour means transparent.
struct MarkupFont
{
    QString name;
    int pointSize = 8;
    bool bold = false;
    QColor color{Qt::black};
    QColor background;

    bool operator==(const MarkupFont &) const = default;
};
