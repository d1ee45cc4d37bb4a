#pragma once

#include <QtGlobal>

class TAdvProgressBar;
class TaskbarProgress;

// The progress operations of a job, on the bar and on the launcher entry. The
// launcher part does nothing when `taskbar` is null (no session bus).
class ProgressIndicators
{
public:
    ProgressIndicators(TAdvProgressBar &bar, TaskbarProgress *taskbar);

    bool SupportTaskBar() const { return m_taskbar != nullptr; }

    void BeginDownloadProgress();
    void SetProgressMaximum(qint32 maximum);
    void ShowTransferProgress(qint64 done, quint32 total);
    void BeginConversionProgress();
    void ShowConversionProgress(qint32 seconds, qint32 duration);
    void EndTaskbarProgress();

private:
    TAdvProgressBar &m_bar;
    TaskbarProgress *m_taskbar;
};
