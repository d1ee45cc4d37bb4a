// The window as other desktops show it, for scripts/screenshot's variants:
// opens the real window in this process and saves the screen area it covers.
// Usage: vidlark-window-shot [--dark] [--focus-download] [--multiple-videos] OUT.png
// --dark: the palette a dark desktop theme hands a program, set before the
// window is made, as a platform theme does. --focus-download: Tab pressed
// until Download has the focus. --multiple-videos: the top button's dialog
// with three links, alone. The scale comes from QT_SCALE_FACTOR.
#include "app/FormLifecycle.h"
#include "app/StartUpEnvironment.h"
#include "app/WindowProgram.h"
#include "window/AdvToolButton.h"
#include "window/MultipleVideosDialog.h"
#include "window/TaskbarProgress.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <cstdio>

namespace {

QPalette darkDesktop()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
    dark.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
    dark.setColor(QPalette::Text, QColor(0xE0, 0xE0, 0xE0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    return dark;
}

// Lets the window system catch up for a while.
void settle(int milliseconds)
{
    const QDeadlineTimer until(milliseconds);
    while (!until.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const bool dark = args.removeAll(QStringLiteral("--dark")) > 0;
    const bool focusDownload = args.removeAll(QStringLiteral("--focus-download")) > 0;
    const bool multipleVideos = args.removeAll(QStringLiteral("--multiple-videos")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vidlark-window-shot [--dark] [--focus-download] "
                             "[--multiple-videos] OUT.png\n");
        return 2;
    }
    if (dark)
        QApplication::setPalette(darkDesktop());

    WindowProgram program;
    TMainForm &form = program.form();
    // Start-up as the program's own: the saved or default folder, a caption
    // for the top button; no launcher progress, no notifications.
    FormLifecycle::FormCreate(
        form, StartUpEnvironment::system([] { return std::unique_ptr<TaskbarProgress>(); }));
    form.centreOnScreen();
    form.show();
    form.activateWindow();
    const QDeadlineTimer guard(10000);
    while (!form.isActiveWindow() && !guard.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (focusDownload) {
        for (int tabs = 0; tabs < 20 && QApplication::focusWidget() != form.StartButton(); ++tabs) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget(), &tab);
        }
        if (QApplication::focusWidget() != form.StartButton()) {
            std::fprintf(stderr, "Tab did not reach Download\n");
            return 1;
        }
    }
    QWidget *shown = &form;
    if (multipleVideos) {
        form.Button1()->setText(QStringLiteral("Download from Vimeo"));
        form.offerMultipleVideos({QStringLiteral("https://vimeo.com/76979871"),
                                  QStringLiteral("http://www.youtube.com/watch?v=vidlark0001"),
                                  QStringLiteral("http://media.sample.test/pages/clip-1")});
        shown = form.findChild<MultipleVideosDialog *>();
    }
    settle(700);
    const QRect area = shown->frameGeometry();
    const QPixmap shot =
        form.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    return shot.save(args.first(), "PNG") ? 0 : 1;
}
