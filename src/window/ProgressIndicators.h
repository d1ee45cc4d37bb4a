#pragma once

#include "job/JobProgress.h"
#include "window/TaskbarProgress.h"

#include <QColor>
#include <QtGlobal>

class TAdvProgressBar;

// The progress operations of a job, on the bar and on the launcher entry.
class ProgressIndicators final : public JobProgress
{
public:
    // Bar colours of the two phases.
    static constexpr QRgb DownloadColour = 0xA0B7D4;
    static constexpr QRgb ConversionColour = 0xFFB366;

    ProgressIndicators(TAdvProgressBar &bar, TaskbarProgress &taskbar);

    void setTaskbar(TaskbarProgress &taskbar) { m_taskbar = &taskbar; }
    bool SupportTaskBar() const { return m_taskbar->supported(); }

    void BeginDownloadProgress() override;
    void SetProgressMaximum(qint32 maximum) override;
    void setBarPosition(qint32 position) override;
    void ShowTransferProgress(qint64 done, quint32 total) override;
    void BeginConversionProgress() override;
    void ShowConversionProgress(qint32 seconds, qint32 duration) override;
    void EndTaskbarProgress() override;

private:
    void showOnTaskbar(TaskbarProgress::State state, quint64 completed, quint64 total);

    TAdvProgressBar &m_bar;
    TaskbarProgress *m_taskbar; // never null
};
