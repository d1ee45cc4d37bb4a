// vidlark-sample-service [--port N] [--log FILE] [--big-stream BYTES]: the
// sample video service on 127.0.0.1, reachable directly or as an HTTP proxy,
// until interrupted. --big-stream sets the size of vidlark0008's generated
// stream (1 GiB by default), so the window benchmark can run at any size.
#include "SampleService.h"
#include "WebPages.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <exception>
#include <unistd.h>

namespace {

// The generated stream of the benchmarks' video.
bool setBigStreamBytes(QList<CannedVideo> &videos, qint64 bytes)
{
    for (CannedVideo &video : videos) {
        if (video.id != "vidlark0008")
            continue;
        for (CannedStream &stream : video.streams)
            stream.generatedBytes = bytes;
        return true;
    }
    return false;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: vidlark-sample-service [--port N] [--log FILE] [--big-stream BYTES]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    SampleService::Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (i + 1 >= arguments.size())
            return usage();
        if (argument == QLatin1String("--port")) {
            bool ok = false;
            const uint port = arguments[++i].toUInt(&ok);
            if (!ok || port > 65535)
                return usage();
            options.port = quint16(port);
        } else if (argument == QLatin1String("--log")) {
            options.logFile = arguments[++i];
        } else if (argument == QLatin1String("--big-stream")) {
            bool ok = false;
            const qint64 bytes = arguments[++i].toLongLong(&ok);
            if (!ok || bytes < 0 || !setBigStreamBytes(options.videos, bytes))
                return usage();
        } else {
            return usage();
        }
    }

    // Wait for a termination signal on this thread while the service works.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    SampleService service(options);
    try {
        service.start();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "vidlark-sample-service: %s\n", error.what());
        return 1;
    }
    // Scripts read the first line; the links after it are for people.
    const unsigned port = service.port();
    std::printf("listening on 127.0.0.1:%u\n", port);
    std::fflush(stdout);
    const struct
    {
        const char *what;
        const char *path;
    } pages[] = {
        {"HTML5 page with progressive MP4s", WebPages::ProgressivePage},
        {"HTML5 page with an HLS video", WebPages::HlsPage},
        {"a list of three videos (RSS)", WebPages::ListFeed},
    };
    for (const auto &page : pages) {
        std::printf("%s: http://%s%s (through the proxy http://127.0.0.1:%u) or "
                    "http://127.0.0.1:%u%s\n",
                    page.what, WebPages::Host, page.path, port, port, page.path);
    }
    std::printf("a release folder for vidlark-cli --update-extractor --releases URL: "
                "http://127.0.0.1:%u/releases/2099.01.01\n",
                port);
    std::printf("a stream whose first two downloads break off: "
                "http://www.youtube.com/watch?v=vidlark0009 (through the proxy)\n");
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    service.stop();
    return 0;
}
