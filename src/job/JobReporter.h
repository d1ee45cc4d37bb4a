#pragma once

#include "job/FormatChoice.h"
#include "job/JobOutcome.h"
#include "job/JobReport.h"
#include "job/JobSteps.h"
#include "job/JobWindow.h"
#include "service/ExtractorFailures.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

struct ProgramState;

// What a queue of videos did, for its summary.
struct QueueTally
{
    int count = 0;       // the videos it was to save
    int saved = 0;       // those it saved
    int savedBefore = 0; // of a list: saved by an earlier run, not tried again
    bool stopped = false;
    QList<std::pair<QString, QString>> failures{}; // link, reason
};

// Every word a job says and asks, and the order of its window calls: the
// steps' values (JobReport) and the controller's moments become the status
// texts, the progress, the boxes and the step-down questions. Progress is
// shown only while the job downloads; in other states a step's values leave
// the window alone.
class JobReporter final : public JobReport, public FormatChoice
{
public:
    // How the end report speaks, first match of the job's end.
    enum class Ending
    {
        Unable,    // the transfer failed with no step to say so
        Completed, // the completion box
        Stopped,   // the user stopped the job: no box
        Failed,    // a failure said so already: its texts stay
        HandedOn,  // the link held a list: its videos' queue speaks instead
    };

    JobReporter(ProgramState &state, const JobWindow &window);

    // The controller's moments, in the order a job meets them.
    void jobStarts();
    void folderMissing();
    void inputsLocked(bool locked); // PrepareToStart, or PrepareToStop
    void timerRuns(bool on);
    // The lookup found nothing: the reason in words, and how the external
    // extractor failed when it was asked.
    void noVideo(const QString &reason,
                 const std::optional<ExtractorFailure> &extractor = std::nullopt);
    void downloadBegins();
    // A transfer that did not count as done, by how it ended.
    void transferEnded(TransferResult result);
    void transferFailed();
    void conversionBegins();
    void converterMissing();
    void endReport(Ending ending, JobOutcome outcome);
    void elapsed(quint32 milliseconds);

    // Many videos: the place of the running one (0 of 0 when none runs), the
    // questions, the failure of the last video, and the summary.
    void queuePlace(int item, int count);
    bool askWholeList(qsizetype count);
    bool askGoOn(int remaining);
    QString takeVideoFailure() { return std::exchange(m_videoFailure, {}); }
    void listFolderFailed(const QString &folder);
    JobOutcome queueEnds(const QueueTally &tally, bool closing);
    // The moments of an update of the extractor, a job of its own.
    void updateStarts();
    void updateEnds(const ExtractorUpdateReport &report);
    void updateStopped();

    // What the user can do about an extractor's failure, in words of ours;
    // empty for a reason of no kind we know.
    static QString extractorFailureText(ExtractorFailureKind kind);
    // The hint an extractor of that (old) version gets with its failure.
    static QString staleExtractorText(const QString &version);
    // One line on the extractor in use: "yt-dlp VERSION (PATH)", or that
    // there is none.
    static QString extractorLine(const ExtractorInUse &extractor);

    // JobReport
    void transferBegins(qint64 total) override;
    void transferTotalChanges(qint64 total) override;
    void transferProgress(qint64 done) override;
    void retryWaits(const RetryWait &wait) override;
    void conversionStarts(qint32 duration, const QString &durationText) override;
    void conversionProgress(qint32 seconds) override;
    void stepFailed(StepFailure failure, const QString &detail) override;
    void subtitlesMissing(const QStringList &languages) override;
    void extractorFailed(const ExtractorFailure &failure) override;

    // FormatChoice
    int selectedFormat() const override;
    void offerStepDown(int index, const QString &question) override;

private:
    void status(const QString &line, const QString &panel);
    void failure(const QString &box, const QString &line, const QString &panel,
                 JobOutcome outcome = JobOutcome::Failed, const QString &details = {});
    // The status texts of a failure without words of its own.
    struct ExtractorTexts
    {
        QString plainLine;
        QString plainPanel;
    };
    // A failure the extractor caused: ours or its words, its own line behind ours.
    void extractorFailure(const QString &what, const QString &reason,
                          const ExtractorFailure &extractor, const ExtractorTexts &texts);
    void tellEnd(JobOutcome outcome, const QString &reason, const QString &line,
                 const QString &panel);
    const QString &totalText();
    bool queued() const { return !m_place.isEmpty(); }
    QString placed(const QString &line) const { return m_place + line; }

    ProgramState &m_state;
    JobWindow m_window;
    bool m_endTold = false; // the front end heard of this job's end
    QString m_note;         // added to the completion's status line
    QString m_place;        // "Video 2 of 7: " while a queue runs
    QString m_videoFailure; // what a queued video's failure box would have said
    // How the extractor failed the download it fetched itself.
    std::optional<ExtractorFailure> m_extractorFailure;
    qint32 m_duration = 0;
    QString m_durationText;
    // The total's size text, the same for every piece of a body.
    struct
    {
        qint64 bytes = -1;
        QChar separator;
        QString text;
    } m_total;
};
