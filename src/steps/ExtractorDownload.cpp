#include "steps/ExtractorDownload.h"

#include "job/JobPulse.h"
#include "job/JobReport.h"
#include "service/ExtractorOutput.h"
#include "service/SubtitleLanguages.h"
#include "steps/DownloadLock.h"
#include "steps/ExtractorProcess.h"
#include "steps/ExtractorProgram.h"
#include "steps/PartialFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Our own folder, only the user's: a link or another's folder of that name is
// never written into.
bool privateFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    struct stat info = {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// What the extractor finished: its output name with the container it chose,
// without its own partial and fragment files.
QString finishedFile(const QString &folder)
{
    const QStringList found =
        QDir(folder).entryList({QStringLiteral("video.*")}, QDir::Files | QDir::Hidden);
    QString finished;
    for (const QString &name : found) {
        if (name.count(QLatin1Char('.')) != 1)
            continue;
        if (!finished.isEmpty())
            return {};
        finished = name;
    }
    return finished.isEmpty() ? QString() : folder + QLatin1Char('/') + finished;
}

// The answer as a file of ours in the private folder, replaced in one rename.
bool writeInfo(const QString &folder, const QByteArray &json)
{
    QSaveFile file(folder + QLatin1Char('/') + ExtractorDownload::InfoName);
    return file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit();
}

} // namespace

ExtractorDownload::ExtractorDownload(JobReport &report, JobPulse &pulse)
    : m_report(report)
    , m_pulse(pulse)
{}

QString ExtractorDownload::StagingFolder(const QString &path)
{
    const QFileInfo target(path);
    const QByteArray digest =
        QCryptographicHash::hash(target.fileName().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return target.absolutePath() + QStringLiteral("/.vidlark-") + QString::fromLatin1(digest);
}

TransferResult ExtractorDownload::Download(const QString &program, const ResolvedVideo &video,
                                           const QString &path, bool resume, int fragments)
{
    if (QFileInfo(path).isDir())
        return TransferResult::TargetIsFolder;
    DownloadLock lock(PartialFile::partPath(path));
    switch (lock.take()) {
    case DownloadLock::Taken::Locked:
        break;
    case DownloadLock::Taken::InUse:
        return TransferResult::FileInUse;
    case DownloadLock::Taken::IsFolder:
        return TransferResult::PartIsFolder;
    case DownloadLock::Taken::Failed:
        return TransferResult::Failed;
    }
    // Nothing of ours is in the lock's file: it goes with the lock, unless an
    // own transfer left bytes in it.
    struct Unlock
    {
        DownloadLock &lock;
        QString part;
        ~Unlock()
        {
            struct stat info = {};
            if (::fstat(lock.fd(), &info) == 0 && info.st_size == 0)
                ::unlink(QFile::encodeName(part).constData());
            lock.release();
        }
    } unlock{lock, PartialFile::partPath(path)};

    const QString staging = StagingFolder(path);
    // Afresh: what an earlier run left (yt-dlp's fragments say what they hold
    // and would be skipped) goes first.
    if (!resume)
        QDir(staging).removeRecursively();
    if (!privateFolder(staging))
        return TransferResult::Failed;

    QStringList arguments = ExtractorCommonArguments(m_cookiesFromBrowser);
    arguments << QStringLiteral("--newline") << QStringLiteral("--progress-template")
              << ExtractorProgressTemplate()
              << QStringLiteral("--no-mtime")
              // A missing fragment fails the download instead of leaving a gap.
              << QStringLiteral("--abort-on-unavailable-fragments")
              << QStringLiteral("--concurrent-fragments") << QString::number(std::max(1, fragments))
              << QStringLiteral("-f") << video.ExtractorFormat << QStringLiteral("-o")
              << OutputName;
    if (!resume)
        arguments << QStringLiteral("--no-continue");
    if (!video.ExtractorMergeFormat.isEmpty())
        arguments << QStringLiteral("--merge-output-format") << video.ExtractorMergeFormat;
    // The lookup's answer saves reading the page again.
    if (!video.ExtractorInfoJson.isEmpty() && writeInfo(staging, video.ExtractorInfoJson))
        arguments << QStringLiteral("--load-info-json") << InfoName;
    else
        arguments << QStringLiteral("--") << video.StreamUrl;

    // As the transfer's work begin does, before anything has arrived.
    m_report.transferBegins(0);

    ExtractorProcess::Options options;
    options.workingDirectory = staging;
    options.onLine = [this](QByteArrayView line) {
        if (const std::optional<ExtractorProgress> progress = ParseExtractorProgress(line)) {
            // Fragmented formats only estimate their size, and the estimate moves.
            m_report.transferTotalChanges(progress->Total);
            m_report.transferProgress(progress->Received);
        }
    };
    const ExtractorProcess::Result run = ExtractorProcess(m_pulse).run(program, arguments, options);
    if (m_pulse.closing())
        return TransferResult::Failed;
    // A Stop is the user's; the extractor's parts stay for the next run.
    if (run.end == ExtractorProcess::End::Stopped)
        return TransferResult::Stopped;
    if (run.end != ExtractorProcess::End::Exited || run.crashed || run.exitCode != 0) {
        // Its reason is said with the failure.
        if (run.end != ExtractorProcess::End::NotStarted)
            m_report.extractorFailed(
                DescribeExtractorFailure(program, run.errors, m_pulse, QDate::currentDate()));
        return TransferResult::Failed;
    }

    const QString finished = finishedFile(staging);
    // One step: an older file of that name stays until the new one replaces it.
    if (finished.isEmpty() || std::rename(QFile::encodeName(finished).constData(),
                                          QFile::encodeName(path).constData()) != 0)
        return TransferResult::Failed;
    QDir(staging).removeRecursively();
    return TransferResult::Done;
}

void ExtractorDownload::FetchSubtitles(const QString &program, const QString &link,
                                       const QString &path, const QString &languages)
{
    const QString staging = StagingFolder(path);
    if (!privateFolder(staging))
        return;
    QStringList arguments = ExtractorCommonArguments(m_cookiesFromBrowser);
    arguments << QStringLiteral("--skip-download") << QStringLiteral("--write-subs")
              << QStringLiteral("--write-auto-subs") << QStringLiteral("--sub-langs") << languages
              << QStringLiteral("--convert-subs") << QStringLiteral("srt") << QStringLiteral("-o")
              << OutputName << QStringLiteral("--") << link;
    ExtractorProcess::Options options;
    options.workingDirectory = staging;
    options.timeLimitMs = SubtitleTimeLimitMs;
    options.onLine = [](QByteArrayView) {}; // what it says of its work is not needed
    ExtractorProcess(m_pulse).run(program, arguments, options);

    // video.LANG.srt, each moved beside the video under its name.
    const QFileInfo target(path);
    const QString stem = target.absolutePath() + QLatin1Char('/') + target.completeBaseName();
    QStringList found;
    for (const QString &name :
         QDir(staging).entryList({QStringLiteral("video.*.srt")}, QDir::Files)) {
        const QString language = name.mid(6, name.size() - 10);
        if (!IsSubtitleLanguage(language))
            continue;
        if (std::rename(
                QFile::encodeName(staging + QLatin1Char('/') + name).constData(),
                QFile::encodeName(stem + QLatin1Char('.') + language + QStringLiteral(".srt"))
                    .constData()) == 0)
            found << language;
    }
    QDir(staging).removeRecursively();
    QStringList missing;
    if (languages.compare(QStringLiteral("all"), Qt::CaseInsensitive) != 0) {
        for (const QString &language : languages.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (!found.contains(language.trimmed()))
                missing << language.trimmed();
        }
    }
    if (!missing.isEmpty())
        m_report.subtitlesMissing(missing);
}
