#pragma once

#include "job/JobController.h"
#include "job/JobWindow.h"

#include <QString>

#include <functional>
#include <optional>

class Clock;
class QTextStream;
struct CliOptions;
struct ProgramState;

// The job window on a terminal: status lines go to standard output (progress
// at most ten lines a second, rewritten in place on a terminal, a transfer's
// with its speed and time left), message boxes to standard error, step-down
// questions are asked on the terminal or answered from the options. Ctrl+C
// plays the Stop button once and the window close twice.
class TerminalJobWindow final : public JobInputs,
                                public StatusTexts,
                                public JobProgress,
                                public JobBoxes,
                                public MessagePass,
                                public JobEnding
{
public:
    struct Terminal
    {
        QTextStream *out = nullptr;
        QTextStream *err = nullptr;
        bool outIsTerminal = false;
        bool inIsTerminal = false;
        // One line typed by the user; nullopt at the end of input or on Ctrl+C.
        std::function<std::optional<QString>()> readLine;
    };

    TerminalJobWindow(const ProgramState &state, const CliOptions &options, Terminal terminal,
                      const Clock &clock);

    // Ctrl+C presses since the last call; set by the program.
    std::function<int()> takeInterrupts;
    // Where the presses go: the job's controller, its one cancel entry.
    std::function<void(Cancel)> cancel;

    // The roles through which a job uses the terminal; nothing to lock.
    JobWindow jobWindow() { return {*this, m_lock, *this, *this, *this, *this, *this}; }
    // Ends a progress line left open on the terminal.
    void finish();
    // Shows an error that escaped the job.
    void showEscapedError(const QString &text);

    QString linkText() const override;
    QString folderText() const override;
    int formatIndex() const override;
    void setFormatIndex(int index) override;
    bool aviBoxChecked() const override;
    bool mp4BoxChecked() const override;

    void setStatusLine(const QString &text) override;
    void setProgressLine(const ProgressLine &line) override;

    void BeginConversionProgress() override;

    void showError(const QString &text) override;
    void showInformation(const QString &text) override;
    void showCommandFailure(const QString &text) override;
    bool askStepDown(const QString &question) override;
    bool askQuestion(JobQuestion kind, const QString &question) override;

    void processMessages() override;

private:
    // Answered by the given answer, else on a terminal, else No.
    bool ask(const QString &question, std::optional<bool> given);
    void printProgress(const QString &text);
    void measureRate(qint64 done, qint64 total);
    QString rateText() const;
    void endProgressLine();
    void box(const QString &kind, const QString &text);
    void handleInterrupts();

    const ProgramState &m_state;
    const CliOptions &m_options;
    Terminal m_terminal;
    const Clock &m_clock;
    InputLock m_lock;
    int m_format;
    bool m_progressShown = false; // a progress line was printed since the last other line
    bool m_lineOpen = false;      // a progress line on the terminal awaits its end
    quint32 m_lastProgressTick = 0;
    QString m_pendingProgress; // held back by the rate limit
    // Speed of the transfer, smoothed, from samples at least RateSampleMs apart.
    bool m_rateBase = false;
    quint32 m_baseTick = 0;
    qint64 m_baseDone = 0;
    double m_bytesPerSecond = -1;
    qint64 m_left = -1; // bytes still to come; -1: unknown
    int m_interrupts = 0;
};
