// convert_bench FILE avi|mp4 [ROUNDS]
// Converts FILE with the converter runner and with FFmpeg run directly on the
// same arguments (same idle priority, output thrown away), in alternating
// rounds, and prints the median wall times. The last line is seconds=S, the
// runner's median.
#include "HeadlessJobWindow.h"
#include "convert/ConverterPresets.h"
#include "job/Clock.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"
#include "steps/ChildPriority.h"
#include "steps/ConverterRunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// CPU seconds this process (not its children) has used: the runner's own cost,
// which the machine's other load does not blur.
double ownCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool runDirect(const QString &ffmpeg, const QStringList &arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setChildProcessModifier(lowerChildPriority);
    process.start(ffmpeg, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || (qstrcmp(argv[2], "avi") != 0 && qstrcmp(argv[2], "mp4") != 0)) {
        std::fprintf(stderr, "usage: convert_bench FILE avi|mp4 [ROUNDS]\n");
        return 2;
    }
    // The converter runs in the temporary folder: the input needs its whole path.
    const QString input = QFileInfo(QFile::decodeName(argv[1])).absoluteFilePath();
    const QString extension = QLatin1Char('.') + QString::fromLatin1(argv[2]);
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    QTemporaryDir work;
    if (ffmpeg.isEmpty() || !work.isValid() || !QFile::exists(input)) {
        std::fprintf(stderr, "convert_bench: need ffmpeg on PATH, a temporary folder and FILE\n");
        return 2;
    }
    const QString output = work.filePath(QStringLiteral("out") + extension);
    const QStringList arguments = converterArguments(input, extension, output);

    ProgramState state;
    state.DownloadState = dsConverting;
    HeadlessJobWindow window;
    SteadyClock clock;
    JobReporter reporter(state, window.roles());
    StatePulse pulse(state, window);
    ConverterRunner runner(reporter, pulse, clock);

    std::vector<double> viaRunner;
    std::vector<double> direct;
    std::vector<double> runnerCpu;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        QFile::remove(output);
        const double cpuBefore = ownCpuSeconds();
        timer.start();
        if (!runner.RunConverter(work.path(), ffmpeg, arguments)) {
            std::fprintf(stderr, "convert_bench: the runner's conversion failed\n");
            return 1;
        }
        viaRunner.push_back(timer.nsecsElapsed() / 1e9);
        runnerCpu.push_back(ownCpuSeconds() - cpuBefore);

        QFile::remove(output);
        timer.start();
        if (!runDirect(ffmpeg, arguments)) {
            std::fprintf(stderr, "convert_bench: the direct conversion failed\n");
            return 1;
        }
        direct.push_back(timer.nsecsElapsed() / 1e9);
        std::printf("round %d: runner %.3f s, direct %.3f s\n", round + 1, viaRunner.back(),
                    direct.back());
    }

    const double runnerSeconds = median(viaRunner);
    const double directSeconds = median(direct);
    std::printf("duration=%d s, last progress=%d s, progress updates in the last run=%d\n",
                window.lastMaximum, window.lastSeconds, window.progressUpdates);
    std::printf("runner_own_cpu_ms=%.1f\n", median(runnerCpu) * 1000);
    std::printf("direct_seconds=%.3f\n", directSeconds);
    std::printf("overhead=%.1f%%\n", (runnerSeconds / directSeconds - 1) * 100);
    std::printf("seconds=%.3f\n", runnerSeconds);
    return 0;
}
