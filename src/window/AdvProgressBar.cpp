#include "window/AdvProgressBar.h"

#include "markup/FontFallback.h"
#include "window/WindowAccessibility.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

// Verdana first; where it is missing, the faces closest to it in width and shape.
QFont choosePercentageFont(int cellHeight)
{
    const QStringList wanted{QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                             QStringLiteral("Bitstream Vera Sans"),
                             QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans")};
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    for (const QString &family : wanted) {
        if (FontFallback::installed(family)) {
            font.setFamily(family);
            break;
        }
    }
    // The size is given as the height of the whole character cell, ascent plus
    // descent, so take the largest pixel size whose cell still fits.
    for (int pixels = cellHeight; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= cellHeight)
            break;
    }
    return font;
}

// The arc of a circle of the corner's radius, one pixel per row near the edge:
// how far row y of the outline starts from either side.
int cornerInset(int y, int h)
{
    const int radius = TAdvProgressBar::CornerEllipse / 2;
    const int fromEdge = qMin(y, h - 1 - y);
    return fromEdge < radius - 1 ? radius - 1 - fromEdge : 0;
}

// The rounded outline with a white interior, row by row from the corner
// ellipse: Qt's aliased rounded rectangle of this size comes out lopsided
// (a square top-left corner), so every corner here is the same one mirrored.
void drawOutline(QPainter &painter, int w, int h)
{
    for (int y = 0; y < h; ++y) {
        const int inset = cornerInset(y, h);
        const int left = inset;
        const int right = w - 1 - inset;
        if (right < left)
            continue;
        if (y == 0 || y == h - 1) {
            painter.fillRect(QRect(left, y, right - left + 1, 1), Qt::black);
            continue;
        }
        painter.fillRect(QRect(left, y, 1, 1), Qt::black);
        painter.fillRect(QRect(right, y, 1, 1), Qt::black);
        if (right - left > 1)
            painter.fillRect(QRect(left + 1, y, right - left - 1, 1), Qt::white);
    }
}

} // namespace

TAdvProgressBar::TAdvProgressBar(QWidget *parent)
    : QWidget(parent)
    , m_percentageFont(choosePercentageFont(PercentageCellHeight))
{
    InstallWindowAccessibility();
}

void TAdvProgressBar::tellValue()
{
    // Once per shown percentage, not once per piece of a transfer.
    const int percentage = Percentage();
    if (percentage == m_toldPercentage)
        return;
    m_toldPercentage = percentage;
    QAccessibleValueChangeEvent changed(this, m_position);
    QAccessible::updateAccessibility(&changed);
}

qint64 TAdvProgressBar::RoundHalfEven(qint64 numerator, qint64 denominator)
{
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    // Floor division, so that the remainder is never negative.
    qint64 quotient = numerator / denominator;
    qint64 remainder = numerator % denominator;
    if (remainder < 0) {
        --quotient;
        remainder += denominator;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

int TAdvProgressBar::RoundPercentage(qint64 part, qint64 whole)
{
    return whole == 0 ? 0 : int(RoundHalfEven(part * 100, whole));
}

int TAdvProgressBar::percentageOf(qint32 value) const
{
    return RoundPercentage(value, qint64(m_max) - Min());
}

void TAdvProgressBar::SetPosition(qint32 value)
{
    // Out of range: clamp without drawing; the next in-range step shows it.
    if (value < Min()) {
        m_position = Min();
        return;
    }
    if (value > m_max) {
        m_position = m_max;
        return;
    }
    m_position = value;
    const qint32 step = stepSize();
    const int percentage = percentageOf(value);
    const qint64 stepIndex = step == 0 ? 0 : value / step;
    // Transfers set the position for every piece received; drawing only when a
    // new hundredth or a new percentage is reached keeps that cheap.
    const bool redraw =
        step == 0 || value % step == 0 || stepIndex != m_lastStep || percentage != m_lastPercentage;
    m_lastStep = stepIndex;
    m_lastPercentage = percentage;
    if (redraw) {
        ++m_immediateRedraws;
        repaint();
    }
    tellValue();
}

void TAdvProgressBar::SetMax(qint32 value)
{
    m_max = value;
    update();
    tellValue();
}

void TAdvProgressBar::SetLevel0Color(const QColor &color)
{
    m_level0Color = color;
    update();
}

const QImage &TAdvProgressBar::outline(qreal devicePixelRatio) const
{
    // The same for every redraw at one size; a transfer redraws the bar a
    // hundred times or more.
    if (m_outline.deviceIndependentSize() == QSizeF(size()) &&
        m_outline.devicePixelRatio() == devicePixelRatio)
        return m_outline;
    const int w = width();
    const int h = height();
    QImage image(size() * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(QColor::fromRgb(TransparentKey));
    QPainter painter(&image);
    // Hard edges: a blended outline would leave magenta-tinted pixels at the corners.
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawOutline(painter, w, h);
    painter.end();
    m_outline = image;
    return m_outline;
}

QImage TAdvProgressBar::picture(qreal devicePixelRatio) const
{
    const int w = width();
    const int h = height();
    QImage image = outline(devicePixelRatio).copy();

    QPainter painter(&image);

    const int percentage = Percentage();
    if (percentage > 0) {
        // Right edge excluded; never past the interior even if the position ran past Max.
        const qint64 right =
            qMin(RoundHalfEven(qint64(percentage) * (w - 2), 100), qint64(w - FillInset));
        if (right > FillInset)
            painter.fillRect(QRect(QPoint(FillInset, FillInset), QPoint(int(right) - 1, h - 3)),
                             m_level0Color);
    }

    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(m_percentageFont);
    painter.setPen(palette().color(QPalette::WindowText));
    const QString text = QString::number(percentage) + QLatin1Char('%');
    const QFontMetrics metrics(m_percentageFont);
    const int left = w / 2 - metrics.horizontalAdvance(text) / 2;
    const int top = h / 2 - metrics.height() / 2;
    painter.drawText(left, top + metrics.ascent(), text);
    painter.end();

    // The key colour becomes see-through, so the corners show what lies behind
    // the bar. RGB32 pixels are premultiplied ARGB32 pixels with full alpha, and
    // a see-through pixel is 0 in either form: no conversion, here or when
    // the picture is copied onto the window.
    // Only the corners outside the outline can hold it: everything else is
    // drawn over the outline's white.
    // The picture's rows and columns are device pixels, the corners' logical ones.
    QImage keyed = std::move(image);
    keyed.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    const int deviceWidth = keyed.width();
    for (int y = 0; y < keyed.height(); ++y) {
        const int row = qMin(int(y / devicePixelRatio), h - 1);
        const int inset =
            qMin(int(std::ceil(cornerInset(row, h) * devicePixelRatio)), (deviceWidth + 1) / 2);
        auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < inset; ++x) {
            for (QRgb *pixel : {line + x, line + deviceWidth - 1 - x}) {
                if ((*pixel & 0xFFFFFF) == TransparentKey)
                    *pixel = 0;
            }
        }
    }
    return keyed;
}

void TAdvProgressBar::paintEvent(QPaintEvent *)
{
    ++m_paintCount;
    if (width() <= 0 || height() <= 0)
        return;
    // Drawn off-screen and copied in one piece, so frequent redraws do not flicker.
    QPainter painter(this);
    painter.drawImage(0, 0, picture(devicePixelRatioF()));
}
