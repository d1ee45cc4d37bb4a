#pragma once

#include "job/JobWindow.h"

// A job window without a screen for benchmarks: it shows nothing and keeps
// only what the benchmarks print, but its message pass handles the Qt events
// as a real window's would (when there is an application to have events).
class HeadlessJobWindow final : public JobInputs,
                                public InputLock,
                                public StatusTexts,
                                public JobProgress,
                                public JobBoxes,
                                public MessagePass,
                                public JobEnding
{
public:
    JobWindow roles() { return {*this, *this, *this, *this, *this, *this, *this}; }

    QString linkText() const override { return {}; }
    QString folderText() const override { return {}; }
    int formatIndex() const override { return 2; }
    void setFormatIndex(int) override {}
    bool aviBoxChecked() const override { return false; }
    bool mp4BoxChecked() const override { return false; }
    void setStatusLine(const QString &text) override { statusLine = text; }
    void SetProgressMaximum(qint32 maximum) override { lastMaximum = maximum; }
    void ShowConversionProgress(qint32 seconds, qint32) override
    {
        lastSeconds = seconds;
        ++progressUpdates;
    }
    void showError(const QString &) override {}
    void showInformation(const QString &) override {}
    void showCommandFailure(const QString &) override {}
    bool askStepDown(const QString &) override { return false; }
    bool askQuestion(JobQuestion, const QString &) override { return false; }
    void processMessages() override;

    QString statusLine;
    qint32 lastMaximum = -1;
    qint32 lastSeconds = -1;
    int progressUpdates = 0;
};
