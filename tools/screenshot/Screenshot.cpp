// Starts a program on the current X display, waits until its window has been
// painted and saves the screen area of the window as a PNG.
// Usage: vidlark-screenshot PROGRAM OUT.png [WIDTH HEIGHT]
// The display has no window manager, so the centred window has no frame.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <cstdio>

namespace {

bool painted(const QImage &image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s PROGRAM OUT.png [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    const int width = argc == 5 ? QString::fromLocal8Bit(argv[3]).toInt() : 632;
    const int height = argc == 5 ? QString::fromLocal8Bit(argv[4]).toInt() : 426;

    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QString::fromLocal8Bit(argv[1]), {});
    if (!program.waitForStarted(10000)) {
        std::fprintf(stderr, "could not start %s\n", argv[1]);
        return 1;
    }

    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area(screen->availableGeometry().center() - QPoint(width / 2, height / 2),
                     QSize(width, height));
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    // Poll until the window shows, then once more after it has settled.
    while (waited.elapsed() < 20000 && program.state() == QProcess::Running) {
        shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
        if (painted(shot))
            break;
        QThread::msleep(200);
    }
    QThread::msleep(700);
    shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    program.terminate();
    program.waitForFinished(5000);
    if (!painted(shot)) {
        std::fprintf(stderr, "the window did not appear\n");
        return 1;
    }
    return shot.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
