#pragma once

#include "job/JobWindow.h"

// A job window without a screen for benchmarks: it shows nothing, but its
// message pass handles the Qt events as a real window's would.
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
    void SetProgressMaximum(qint32) override {}
    void BeginDownloadProgress() override {}
    void ShowTransferProgress(qint64, quint32) override {}
    void BeginConversionProgress() override {}
    void ShowConversionProgress(qint32, qint32) override {}
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
};
