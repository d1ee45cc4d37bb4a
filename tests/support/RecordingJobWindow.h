#pragma once

#include "QtPrinters.h"
#include "job/JobSteps.h"
#include "job/JobWindow.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// A job window without a screen: plays every role, logs every call, in order,
// as one line of text, and answers the step-down questions from a script (No
// when it runs out). Hooks run inside the message pass and the modal boxes,
// where a real window would handle the user's Stop click or window close. It
// also stands in for the client's anti-freeze switch, logged in the same line.
class RecordingJobWindow : public JobInputs,
                           public InputLock,
                           public StatusTexts,
                           public JobProgress,
                           public JobBoxes,
                           public MessagePass,
                           public JobEnding,
                           public AntiFreeze
{
public:
    JobWindow roles() { return {*this, *this, *this, *this, *this, *this, *this}; }

    // Inputs, as the user left them.
    QString link;
    QString folder;
    int format = 2;
    bool avi = false;
    bool mp4 = false;

    std::deque<bool> stepDownAnswers;
    std::deque<bool> questionAnswers; // the list and go-on questions
    std::function<void()> onMessagePass;
    std::function<void()> onModalBox;

    mutable QStringList calls;   // reads are logged too
    std::vector<JobEnd> endings; // what the front end heard of each job's end, kept apart

    // Every call logged since `from`, for tests that look at the end of a job.
    QStringList callsSince(qsizetype from) const { return calls.mid(from); }

    // Whether the inputs are locked and what the button reads, as a window would show them.
    bool inputsEnabled = true;
    bool convertBoxesEnabled = true;
    QString startCaption = QStringLiteral("Download");
    QString statusLine;
    QString statusPanel;
    QString elapsedPanel;

    int formatIndex() const override;
    void setFormatIndex(int index) override;
    bool askStepDown(const QString &question) override;
    bool askQuestion(JobQuestion kind, const QString &question) override;
    QString linkText() const override;
    QString folderText() const override;
    bool aviBoxChecked() const override;
    bool mp4BoxChecked() const override;
    void setStatusLine(const QString &text) override;
    void setStatusPanel(const QString &text) override;
    void setElapsedPanel(const QString &text) override;
    void setBarPosition(qint32 position) override;
    void SetProgressMaximum(qint32 maximum) override;
    void BeginDownloadProgress() override;
    void ShowTransferProgress(qint64 done, quint32 total) override;
    void BeginConversionProgress() override;
    void ShowConversionProgress(qint32 seconds, qint32 duration) override;
    void EndTaskbarProgress() override;
    void setTimerEnabled(bool enabled) override;
    void setAntiFreezeActive(bool active) override;
    void setInputsEnabled(bool enabled) override;
    void setConvertBoxesEnabled(bool enabled) override;
    void setStartButtonCaption(const QString &caption) override;
    void blockThread(int milliseconds) override;
    void showError(const QString &text) override;
    // Logged as the error box, its details after " | details: ".
    void showErrorDetails(const QString &text, const QString &details) override;
    void showInformation(const QString &text) override;
    void showCommandFailure(const QString &text) override;
    void processMessages() override;
    void jobEnds(const JobEnd &end) override { endings.push_back(end); }

private:
    void log(const QString &line) const { calls.append(line); }
    void modal();
    // The next scripted answer (No when none is left), logged with the question.
    bool answer(std::deque<bool> &answers, const QString &question);
};
