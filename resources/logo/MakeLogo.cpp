// Draws the window's 450 x 90 logo banner: an emblem (a play button with a
// lark's wing) and the name "Vidlark" on white. Usage: vidlark-make-logo OUT.jpg
// The window shows only rows 10 to 78, so everything stays inside them.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

void drawEmblem(QPainter &painter, const QRectF &box)
{
    QLinearGradient blue(box.topLeft(), box.bottomLeft());
    blue.setColorAt(0, QColor(0x96, 0xBC, 0xE2));
    blue.setColorAt(1, QColor(0x03, 0x38, 0x93));
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawRoundedRect(box, 12, 12);

    // Play triangle.
    const QPointF c = box.center();
    QPainterPath play;
    play.moveTo(c.x() - 9, c.y() - 14);
    play.lineTo(c.x() + 15, c.y());
    play.lineTo(c.x() - 9, c.y() + 14);
    play.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(play);

    // A swept wing over the top-left corner, the lark of the name.
    QPainterPath wing;
    wing.moveTo(box.left() + 6, box.top() + 20);
    wing.cubicTo(box.left() + 14, box.top() + 4, box.left() + 30, box.top() + 2, box.left() + 42,
                 box.top() + 8);
    wing.cubicTo(box.left() + 30, box.top() + 9, box.left() + 20, box.top() + 13, box.left() + 6,
                 box.top() + 20);
    painter.setBrush(QColor(0xFF, 0xB3, 0x66));
    painter.drawPath(wing);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.jpg\n", argv[0]);
        return 2;
    }
    QImage image(450, 90, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    drawEmblem(painter, QRectF(82, 17, 56, 56));

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(40);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(QColor(0x03, 0x38, 0x93));
    painter.drawText(QRectF(150, 14, 240, 46), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Vidlark"));

    QFont tagline(QStringLiteral("DejaVu Sans"));
    tagline.setPixelSize(13);
    painter.setFont(tagline);
    painter.setPen(QColor(0x55, 0x5F, 0x6B));
    painter.drawText(QRectF(152, 56, 240, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("save videos, convert to AVI and MP4"));

    // A thin rule at the foot of the visible band.
    painter.fillRect(QRectF(150, 76, 218, 1), QColor(0xDA, 0xD8, 0xCF));
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[1]), "JPEG", 92) ? 0 : 1;
}
