#include "window/ProgressIndicators.h"

#include "window/AdvProgressBar.h"
#include "window/TaskbarProgress.h"

ProgressIndicators::ProgressIndicators(TAdvProgressBar &bar, TaskbarProgress *taskbar)
    : m_bar(bar)
    , m_taskbar(taskbar)
{}

void ProgressIndicators::BeginDownloadProgress()
{
    m_bar.SetPosition(0);
}
void ProgressIndicators::SetProgressMaximum(qint32 maximum)
{
    m_bar.SetMax(maximum);
}
void ProgressIndicators::ShowTransferProgress(qint64 done, quint32)
{
    m_bar.SetPosition(qint32(done));
}
void ProgressIndicators::BeginConversionProgress()
{
    m_bar.SetPosition(0);
}
void ProgressIndicators::ShowConversionProgress(qint32 seconds, qint32)
{
    m_bar.SetPosition(seconds);
}
void ProgressIndicators::EndTaskbarProgress() {}
