// The reporter's words for the external extractor: its failures in plain
// words, its age, the one in use, and its update, a job of its own.
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "service/ExtractorRelease.h"

#include <QDir>

namespace {

const QString ErrorPanel = QStringLiteral("Status: Error");
const QString Break = QStringLiteral("\n\r");

} // namespace

// Ours for a reason we know, with the extractor's own line behind it; its
// own line alone otherwise; without either, the plain failure. An old
// extractor adds how to update it.
void JobReporter::extractorFailure(const QString &what, const QString &reason,
                                   const ExtractorFailure &extractor, const ExtractorTexts &texts)
{
    const QString ours = extractorFailureText(ClassifyExtractorError(extractor.line));
    const QString words = ours.isEmpty() ? reason : ours;
    QString box = words.isEmpty() ? what : what + Break + words;
    if (extractor.stale)
        box += Break + staleExtractorText(extractor.version);
    const QString details = ours.isEmpty() || extractor.line.isEmpty()
                                ? QString()
                                : QStringLiteral("yt-dlp said: ") + extractor.line;
    if (words.isEmpty())
        failure(box, texts.plainLine, texts.plainPanel, JobOutcome::Failed, details);
    else
        failure(box, texts.plainLine + QLatin1Char(' ') + words,
                QStringLiteral("Status: Error. ") + words, JobOutcome::Failed, details);
}

QString JobReporter::extractorFailureText(ExtractorFailureKind kind)
{
    switch (kind) {
    case ExtractorFailureKind::SignIn:
        return QStringLiteral(
            "The site wants you to sign in, or to show that you are no bot. Sign in to it in "
            "your web browser, then let the extractor use that browser's cookies: "
            "CookiesFromBrowser=firefox (or chromium, chrome, ...) under [Main] in Vidlark.ini, "
            "or vidlark-cli --cookies-from-browser firefox.");
    case ExtractorFailureKind::AgeLimit:
        return QStringLiteral(
            "The video is age-restricted: the site shows it only to a signed-in adult. Sign in "
            "to it in your web browser, then let the extractor use that browser's cookies "
            "(CookiesFromBrowser= in Vidlark.ini, or vidlark-cli --cookies-from-browser).");
    case ExtractorFailureKind::Private:
        return QStringLiteral("The video is private: only the people its owner chose may "
                              "watch it.");
    case ExtractorFailureKind::Removed:
        return QStringLiteral("The video is gone: it was removed, or the link is wrong.");
    case ExtractorFailureKind::Country:
        return QStringLiteral("The video is not available in your country.");
    case ExtractorFailureKind::FormatMissing:
        return QStringLiteral("The video has no format like the one you chose: choose "
                              "another one, or \"best available\".");
    case ExtractorFailureKind::UnsupportedLink:
        return QStringLiteral("The extractor does not know this link: check it, or update "
                              "the extractor.");
    case ExtractorFailureKind::Other:
        break;
    }
    return {};
}

QString JobReporter::staleExtractorText(const QString &version)
{
    return QStringLiteral("yt-dlp %1 is more than %2 days old, and sites change often: update "
                          "it with the Update button (vidlark-cli --update-extractor).")
        .arg(version)
        .arg(ExtractorStaleDays);
}

QString JobReporter::extractorLine(const ExtractorInUse &extractor)
{
    if (extractor.off)
        return QStringLiteral("yt-dlp: turned off");
    if (extractor.program.isEmpty())
        return QStringLiteral("yt-dlp: none found");
    const QString path = QDir::toNativeSeparators(extractor.program);
    if (extractor.version.isEmpty())
        return QStringLiteral("yt-dlp, version unknown (%1)").arg(path);
    return QStringLiteral("yt-dlp %1 (%2)").arg(extractor.version, path);
}

void JobReporter::extractorFailed(const ExtractorFailure &failure)
{
    m_extractorFailure = failure;
}

void JobReporter::updateStarts()
{
    // No download's end is told for it: the front end hears nothing elsewhere.
    m_endTold = true;
    m_note.clear();
    m_extractorFailure.reset();
    m_state.SaveFileName = ReleaseProgramName;
    status(QStringLiteral("Updating the extractor..."),
           QStringLiteral("Status: Updating the extractor..."));
}

void JobReporter::updateEnds(const ExtractorUpdateReport &report)
{
    const QString path = QDir::toNativeSeparators(report.path);
    QString other;
    if (report.routeOff)
        other = Break + QStringLiteral("Jobs run no extractor: the settings turn it off "
                                       "(Extractor=none or --extractor none).");
    else if (!report.otherInUse.isEmpty())
        other = Break + QStringLiteral("Jobs still run %1, which the settings name (Extractor= "
                                       "or --extractor).")
                            .arg(QDir::toNativeSeparators(report.otherInUse));
    switch (report.outcome) {
    case ExtractorUpdateOutcome::Updated: {
        const QString change =
            report.oldVersion.isEmpty()
                ? QStringLiteral("yt-dlp %1 (none before)").arg(report.newVersion)
                : QStringLiteral("yt-dlp %1 -> %2").arg(report.oldVersion, report.newVersion);
        const QString line = QStringLiteral("The extractor is updated: ") + change;
        m_window.boxes.showInformation(line + Break + QStringLiteral("It is kept in ") + path +
                                       other);
        status(line, QStringLiteral("Status: The extractor is updated"));
        break;
    }
    case ExtractorUpdateOutcome::Current: {
        const QString line =
            QStringLiteral("The extractor is up to date: yt-dlp ") + report.newVersion;
        m_window.boxes.showInformation(line + Break + QStringLiteral("It is kept in ") + path +
                                       other);
        status(line, QStringLiteral("Status: The extractor is up to date"));
        break;
    }
    case ExtractorUpdateOutcome::Stopped:
        updateStopped();
        break;
    default: {
        QString reason;
        QString word;
        const QString detail =
            report.detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(report.detail);
        switch (report.outcome) {
        case ExtractorUpdateOutcome::ChecksumRefused:
            reason = QStringLiteral("the download does not match its checksum in %1, so it was "
                                    "refused")
                         .arg(ReleaseChecksumsName) +
                     detail;
            word = QStringLiteral("checksum");
            break;
        case ExtractorUpdateOutcome::DiskFailed:
            reason = QStringLiteral("it could not be written to ") + path + detail;
            word = QStringLiteral("disk");
            break;
        case ExtractorUpdateOutcome::NotRunnable:
            reason = QStringLiteral("the downloaded program does not run here, so it was "
                                    "refused") +
                     detail;
            word = QStringLiteral("it does not run");
            break;
        default:
            reason = QStringLiteral("the release could not be downloaded from ") + report.releases +
                     detail;
            word = QStringLiteral("network");
            break;
        }
        const QString kept = report.oldVersion.isEmpty()
                                 ? QStringLiteral("Nothing was installed.")
                                 : QStringLiteral("The copy in %1 stays as it was (yt-dlp %2).")
                                       .arg(path, report.oldVersion);
        m_window.boxes.showError(QStringLiteral("The extractor is not updated: ") + reason +
                                 QLatin1Char('.') + Break + kept);
        m_window.status.setFailureLine(QStringLiteral("Error: The extractor is not updated (") +
                                       word + QLatin1Char(')'));
        m_window.status.setStatusPanel(ErrorPanel);
        break;
    }
    }
    m_window.progress.EndTaskbarProgress();
}

void JobReporter::updateStopped()
{
    status(QStringLiteral("Update is stopped by the user"),
           QStringLiteral("Status: Update is stopped by the user"));
    m_window.progress.EndTaskbarProgress();
}
