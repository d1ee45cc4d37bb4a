#pragma once

#include "window/TaskbarProgress.h"

#include <QColor>
#include <QtGlobal>

class TAdvProgressBar;

// The progress operations of a job, on the bar and on the launcher entry. The
// launcher part does nothing when `taskbar` is null (no session bus).
class ProgressIndicators
{
public:
    // Bar colours of the two phases.
    static constexpr QRgb DownloadColour = 0xA0B7D4;
    static constexpr QRgb ConversionColour = 0xFFB366;

    ProgressIndicators(TAdvProgressBar &bar, TaskbarProgress *taskbar);

    bool SupportTaskBar() const { return m_taskbar != nullptr; }

    void BeginDownloadProgress();
    void SetProgressMaximum(qint32 maximum);
    // The bar alone; out-of-range positions are clamped by the bar.
    void setBarPosition(qint32 position);
    void ShowTransferProgress(qint64 done, quint32 total);
    void BeginConversionProgress();
    void ShowConversionProgress(qint32 seconds, qint32 duration);
    void EndTaskbarProgress();

private:
    void showOnTaskbar(TaskbarProgress::State state, quint64 completed, quint64 total);

    TAdvProgressBar &m_bar;
    TaskbarProgress *m_taskbar;
};
