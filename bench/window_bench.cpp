// window_bench LINK FOLDER: the real window, offscreen, runs one job as a user
// would: the link typed, the folder set, format 2 chosen, Download clicked.
// Message boxes are answered Yes and printed; launcher progress goes to the
// session bus when there is one (run it under dbus-run-session to see its cost). The transfer goes
// wherever the environment's http_proxy points. The last line reads bytes=N seconds=S MBps=R
// peak_rss_mb=M: N is the saved file's size, S the wall time from the click to the end of the job
// (lookup included), MB = 10^6 bytes, RSS in MiB. Before it, the boxes shown, the final status, how
// often each widget painted more than once, and the transfer phase (from the first progress text to
// the end of the job) with its wall and CPU time. Exits 1 unless the job ended "Download is
// complete".
#include "AnsweringMessageBoxes.h"
#include "app/WindowProgram.h"
#include "markup/HTMLComboBox.h"
#include "window/AdvToolButton.h"
#include "window/TaskbarProgress.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <optional>
#include <sys/resource.h>

namespace {

using BenchClock = std::chrono::steady_clock;

double secondsBetween(BenchClock::time_point from, BenchClock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// User and system time of the process so far.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Counts the paints of each widget: what the window drew during the job.
class PaintCounter : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++counts[QString::fromLatin1(watched->metaObject()->className()) + QLatin1Char(' ') +
                     watched->objectName()];
        return false;
    }
    QMap<QString, int> counts;
};
} // namespace

int main(int argc, char **argv)
{
    // Offscreen unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: window_bench LINK FOLDER\n");
        return 2;
    }
    const QString folder = QFileInfo(arguments[2]).absoluteFilePath();
    QTemporaryDir appDir; // the settings file goes here, not beside the bench
    if (!QFileInfo(folder).isDir() || !appDir.isValid()) {
        std::fprintf(stderr, "window_bench: FOLDER must be an existing folder\n");
        return 2;
    }

    PaintCounter paints;
    application.installEventFilter(&paints);
    WindowProgram program;
    TMainForm &form = program.form();
    form.state().AppDir = appDir.path() + QLatin1Char('/');
    form.state().TempDir = QDir::tempPath() + QLatin1Char('/');
    auto answering = std::make_unique<AnsweringMessageBoxes>(true);
    AnsweringMessageBoxes &boxes = *answering;
    form.setMessageBoxes(std::move(answering));
    // Launcher progress as the program has it: on a session bus when there is one.
    std::unique_ptr<TaskbarProgress> launcher = TaskbarProgress::Create();
    const bool launcherShown = launcher->supported();
    form.setTaskbar(std::move(launcher));
    form.show();

    auto *statusLabel = form.findChild<QLabel *>(QStringLiteral("StatusLabel"));
    QTest::keyClicks(form.MoviePathEdit(), arguments[1]);
    form.DirectoryEdit()->setText(folder);
    form.FormatComboBox()->setCurrentIndex(2);

    // Notes when the transfer starts showing progress, then stops looking.
    std::optional<BenchClock::time_point> transferSeen;
    double cpuAtTransfer = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        if (!statusLabel->text().startsWith(QStringLiteral("Downloading... ")))
            return;
        transferSeen = BenchClock::now();
        cpuAtTransfer = cpuSeconds();
        watch.stop();
    });
    watch.start(1);

    const auto pressed = BenchClock::now();
    // The job runs inside the click, pumping the window's events as it goes.
    QTest::mouseClick(form.StartButton(), Qt::LeftButton);
    const auto ended = BenchClock::now();
    const double cpuAtEnd = cpuSeconds();
    watch.stop();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const QString status = statusLabel->text();
    const QString completePrefix = QStringLiteral("Download is complete: ");
    const bool complete = status.startsWith(completePrefix);
    const QString saved =
        complete ? QDir(folder).filePath(status.mid(completePrefix.size())) : QString();
    const qint64 bytes = complete ? QFileInfo(saved).size() : 0;
    const double seconds = secondsBetween(pressed, ended);

    for (const QString &box : boxes.shown)
        std::printf("box: %s\n",
                    qPrintable(QString(box)
                                   .replace(QLatin1Char('\r'), QStringLiteral("\\r"))
                                   .replace(QLatin1Char('\n'), QStringLiteral("\\n"))));
    for (auto it = paints.counts.cbegin(); it != paints.counts.cend(); ++it)
        if (it.value() > 1) // painted again after the first show
            std::printf("paints: %s %d\n", qPrintable(it.key()), it.value());
    std::printf("launcher progress: %s\n", launcherShown ? "on the session bus" : "none");
    std::printf("status: %s\n", qPrintable(status));
    std::printf("file: %s\n", qPrintable(saved));
    if (transferSeen) {
        const double transferSeconds = secondsBetween(*transferSeen, ended);
        std::printf("first_progress_after=%.3f s (lookup and file set-up)\n",
                    secondsBetween(pressed, *transferSeen));
        std::printf("from_first_progress: seconds=%.3f cpu_seconds=%.3f MBps=%.1f\n",
                    transferSeconds, cpuAtEnd - cpuAtTransfer,
                    transferSeconds > 0 ? bytes / transferSeconds / 1e6 : 0.0);
    }
    std::printf("bytes=%lld seconds=%.3f MBps=%.1f peak_rss_mb=%.1f\n",
                static_cast<long long>(bytes), seconds, seconds > 0 ? bytes / seconds / 1e6 : 0.0,
                usage.ru_maxrss / 1024.0);
    return complete ? 0 : 1;
}
