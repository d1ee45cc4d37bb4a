#include "steps/ExtractorProgram.h"

#include "job/JobPulse.h"
#include "service/ExtractorOutput.h"
#include "service/ExtractorRelease.h"
#include "steps/ExtractorProcess.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr qsizetype VersionOutputLimit = 4096;
// The extractor's own line as a box's details show it.
constexpr qsizetype DetailLength = 1000;

// A pulse for a run outside any job: nothing stops it but its time limit.
class QuietPulse final : public JobPulse
{
public:
    bool windingDown() const override { return false; }
    bool closing() const override { return false; }
    void pass() override {}
};

bool isNone(const QString &named)
{
    return named.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool ExtractorSettingNamesOne(const std::optional<QString> &setting)
{
    return setting && !setting->trimmed().isEmpty();
}

QString ChooseExtractorProgram(const std::optional<QString> &setting, const QString &managedCopy)
{
    const QString named = setting ? setting->trimmed() : QString();
    if (isNone(named))
        return {};
    if (!named.isEmpty())
        return named;
    if (!managedCopy.isEmpty()) {
        const QFileInfo managed(managedCopy);
        if (managed.isFile() && managed.isExecutable())
            return managed.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("yt-dlp"));
}

QStringList ExtractorCommonArguments(const QString &cookiesFromBrowser)
{
    QStringList arguments{QStringLiteral("--ignore-config"), QStringLiteral("--no-playlist"),
                          QStringLiteral("--no-warnings")};
    if (!cookiesFromBrowser.isEmpty())
        arguments << QStringLiteral("--cookies-from-browser") << cookiesFromBrowser;
    return arguments;
}

QString ExtractorVersion(const QString &program, JobPulse *pulse)
{
    if (program.isEmpty())
        return {};
    QuietPulse quiet;
    ExtractorProcess::Options options;
    options.timeLimitMs = VersionTimeLimitMs;
    options.outputLimit = VersionOutputLimit;
    const ExtractorProcess::Result run = ExtractorProcess(pulse ? *pulse : quiet)
                                             .run(program, {QStringLiteral("--version")}, options);
    if (run.end != ExtractorProcess::End::Exited || run.crashed || run.exitCode != 0)
        return {};
    return ExtractorVersionLine(run.output);
}

ExtractorInUse DescribeExtractorProgram(const QString &program, bool off)
{
    ExtractorInUse described;
    described.off = off;
    if (off || program.isEmpty())
        return described;
    // A name without a folder is found on PATH, as the run would find it.
    described.program =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (described.program.isEmpty())
        return described;
    described.version = ExtractorVersion(described.program);
    return described;
}

ExtractorFailure DescribeExtractorFailure(const QString &program, QByteArrayView errors,
                                          JobPulse &pulse, QDate today)
{
    ExtractorFailure failure;
    failure.line = ExtractorErrorLine(errors, DetailLength);
    if (pulse.windingDown())
        return failure;
    failure.version = ExtractorVersion(program, &pulse);
    failure.stale = ExtractorIsStale(failure.version, today);
    return failure;
}
