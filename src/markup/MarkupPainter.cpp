#include "markup/MarkupPainter.h"

#include "markup/FontFallback.h"

#include <QFontMetrics>
#include <QPainter>

QFont MarkupPainter::qfont(const MarkupFont &font)
{
    return FontFallback::font(font.name, font.pointSize, font.bold);
}

QSize MarkupPainter::measure(const MarkupFont &font, const QString &text) const
{
    const QFontMetrics metrics(qfont(font));
    return {metrics.horizontalAdvance(text), metrics.height()};
}

int MarkupPainter::textHeight(const MarkupFont &font) const
{
    return QFontMetrics(qfont(font)).height();
}

void MarkupPainter::draw(QPainter &painter, const MarkupLayout &layout, QPoint origin)
{
    painter.save();
    for (qsizetype i = 0; i < layout.visibleLines; ++i) {
        const MarkupLine &line = layout.lines.at(i);
        for (const MarkupPiece &piece : line.pieces) {
            const QRect cell(origin.x() + piece.x,
                             origin.y() + line.top + line.height - piece.height, piece.width,
                             piece.height);
            if (piece.font.background.isValid())
                painter.fillRect(cell, piece.font.background);
            painter.setFont(qfont(piece.font));
            painter.setPen(piece.font.color);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, piece.text);
        }
    }
    painter.restore();
}
