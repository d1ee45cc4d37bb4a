// transfer_bench URL FILE [CONNECTIONS]: one DownloadToFile through the real
// client (over that many connections, default 1), with anti-freeze on and the
// event loop pumped as during a job. The last line reads
// bytes=N seconds=S MBps=R peak_rss_mb=M (MB = 10^6 bytes, RSS in MiB).
#include "HeadlessJobWindow.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"
#include "net/HttpClient.h"
#include "steps/Transfer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int connections = arguments.size() == 4 ? arguments[3].toInt() : 1;
    if (arguments.size() < 3 || arguments.size() > 4 || connections < 1 ||
        connections > MaxConnections) {
        std::fprintf(stderr, "usage: transfer_bench URL FILE [CONNECTIONS]\n");
        return 2;
    }
    const QString url = arguments[1];
    const QString path = arguments[2];

    ProgramState state;
    HeadlessJobWindow window;
    HttpClient client;
    JobReporter reporter(state, window.roles());
    StatePulse pulse(state, window);
    Transfer transfer(client, reporter, pulse);
    client.setAntiFreezeActive(true);
    client.setEventPump([] { QCoreApplication::processEvents(); });
    state.DownloadState = dsDownloading;
    state.SaveFileName = QFileInfo(path).fileName();

    // A once-a-second timer, as the elapsed-time display has during a job.
    int ticks = 0;
    QTimer timer;
    timer.setInterval(1000);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&ticks] { ++ticks; });
    timer.start();

    const auto started = std::chrono::steady_clock::now();
    const bool done = transfer.DownloadToFile(url, path, connections) == TransferResult::Done;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const qint64 bytes = QFileInfo(path).size();
    const double seconds = took.count();
    std::printf("result=%s timer_ticks=%d last_status=%s\n", done ? "true" : "false", ticks,
                qPrintable(window.statusLine));
    std::printf("bytes=%lld seconds=%.3f MBps=%.1f peak_rss_mb=%.1f\n",
                static_cast<long long>(bytes), seconds, bytes / seconds / 1e6,
                usage.ru_maxrss / 1024.0);
    return done ? 0 : 1;
}
