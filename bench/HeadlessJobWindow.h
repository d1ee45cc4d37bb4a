#pragma once

#include "job/JobWindow.h"

// A job window without a screen for benchmarks: it shows nothing and keeps
// only what the benchmarks print, but its message pass handles the Qt events
// as a real window's would (when there is an application to have events).
class HeadlessJobWindow final : public JobWindow
{
public:
    int formatIndex() const override { return 2; }
    void setFormatIndex(int) override {}
    bool askStepDown(const QString &) override { return false; }
    QString linkText() const override { return {}; }
    QString folderText() const override { return {}; }
    bool aviBoxChecked() const override { return false; }
    bool mp4BoxChecked() const override { return false; }
    void setStatusLine(const QString &text) override { statusLine = text; }
    void setStatusPanel(const QString &) override {}
    void setElapsedPanel(const QString &) override {}
    void setBarPosition(qint32) override {}
    void SetProgressMaximum(qint32 maximum) override { lastMaximum = maximum; }
    void BeginDownloadProgress() override {}
    void ShowTransferProgress(qint64, quint32) override {}
    void BeginConversionProgress() override {}
    void ShowConversionProgress(qint32 seconds, qint32) override
    {
        lastSeconds = seconds;
        ++progressUpdates;
    }
    void EndTaskbarProgress() override {}
    void setTimerEnabled(bool) override {}
    void setAntiFreezeActive(bool) override {}
    void setInputsEnabled(bool) override {}
    void setConvertBoxesEnabled(bool) override {}
    void setStartButtonCaption(const QString &) override {}
    void blockThread(int) override {}
    void showError(const QString &) override {}
    void showInformation(const QString &) override {}
    void showCommandFailure(const QString &) override {}
    void processMessages() override;

    QString statusLine;
    qint32 lastMaximum = -1;
    qint32 lastSeconds = -1;
    int progressUpdates = 0;
};
