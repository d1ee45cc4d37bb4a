#pragma once

#include "service/LookupWindow.h"

#include <QString>

// Everything the job logic does to the window. The main window implements it on
// screen, the console front end on a terminal, and tests with a recording fake.
class JobWindow : public LookupWindow
{
public:
    // Input reads.
    virtual QString linkText() const = 0;
    virtual QString folderText() const = 0;
    virtual bool aviBoxChecked() const = 0;
    virtual bool mp4BoxChecked() const = 0;

    // Status texts: the status line, panel 2 (status) and panel 1 (elapsed time).
    virtual void setStatusLine(const QString &text) = 0;
    virtual void setStatusPanel(const QString &text) = 0;
    virtual void setElapsedPanel(const QString &text) = 0;

    // The progress bar; a position outside the bar's range is clamped by the bar.
    virtual void setBarPosition(qint32 position) = 0;
    virtual void SetProgressMaximum(qint32 maximum) = 0;

    // Progress phases; the launcher/taskbar part does nothing where unsupported.
    virtual void BeginDownloadProgress() = 0;
    virtual void ShowTransferProgress(qint64 done, quint32 total) = 0;
    virtual void BeginConversionProgress() = 0;
    virtual void ShowConversionProgress(qint32 seconds, qint32 duration) = 0;
    virtual void EndTaskbarProgress() = 0;

    virtual void setTimerEnabled(bool enabled) = 0;
    // Whether the HTTP client lets window events through while it waits.
    virtual void setAntiFreezeActive(bool active) = 0;

    // The six job inputs: folder field, link field, Browse, format list and both convert boxes.
    virtual void setInputsEnabled(bool enabled) = 0;
    virtual void setConvertBoxesEnabled(bool enabled) = 0;
    virtual void setStartButtonCaption(const QString &caption) = 0;
    // A plain sleep: no events are handled.
    virtual void blockThread(int milliseconds) = 0;

    // Modal boxes; the window goes on handling its events while one is open.
    virtual void showError(const QString &text) = 0;
    virtual void showInformation(const QString &text) = 0;
    virtual void showCommandFailure(const QString &text) = 0;

    // One pass of the event loop: handle what is waiting, then return.
    virtual void processMessages() = 0;

    // Locks the inputs for a job and starts the download look of the progress.
    void PrepareToStart();
    // Unlocks the inputs after a job.
    void PrepareToStop();
    // The convert boxes are offered only for the FLV formats.
    void FormatComboBoxChange();
};
