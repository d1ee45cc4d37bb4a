#include "window/ProgressIndicators.h"

#include "window/AdvProgressBar.h"

#include <limits>

namespace {

constexpr quint32 BarLimit = std::numeric_limits<qint32>::max();

} // namespace

ProgressIndicators::ProgressIndicators(TAdvProgressBar &bar, TaskbarProgress &taskbar)
    : m_bar(bar)
    , m_taskbar(&taskbar)
{}

void ProgressIndicators::showOnTaskbar(TaskbarProgress::State state, quint64 completed,
                                       quint64 total)
{
    // The state goes first: setting a value alone would switch a hidden display to normal.
    m_taskbar->SetProgressState(state);
    m_taskbar->SetProgressValue(completed, total);
}

void ProgressIndicators::BeginDownloadProgress()
{
    m_bar.SetPosition(0);
    m_bar.SetLevel0Color(QColor::fromRgb(DownloadColour));
    showOnTaskbar(TaskbarProgress::State::Normal, 0, 100);
}

void ProgressIndicators::SetProgressMaximum(qint32 maximum)
{
    m_bar.SetMax(maximum);
}

void ProgressIndicators::setBarPosition(qint32 position)
{
    m_bar.SetPosition(position);
}

void ProgressIndicators::ShowTransferProgress(qint64 done, quint32 total)
{
    if (total <= BarLimit) {
        // The bar counts bytes in a signed 32-bit range: the low 32 bits of the count.
        m_bar.SetPosition(qint32(quint32(quint64(done))));
    } else {
        // Above 2 GiB the announced size would reach the bar as a negative maximum
        // and the bar would show nonsense; count it in pairs of bytes instead.
        const qint32 halfTotal = qint32(total / 2);
        if (m_bar.Max() != halfTotal)
            m_bar.SetMax(halfTotal);
        m_bar.SetPosition(qint32(qBound<qint64>(0, done / 2, BarLimit)));
    }
    if (total > 0)
        showOnTaskbar(TaskbarProgress::State::Normal, quint64(done), quint64(total));
}

void ProgressIndicators::BeginConversionProgress()
{
    m_bar.SetPosition(0);
    m_bar.SetLevel0Color(QColor::fromRgb(ConversionColour));
    showOnTaskbar(TaskbarProgress::State::Paused, 0, 100);
}

void ProgressIndicators::ShowConversionProgress(qint32 seconds, qint32 duration)
{
    m_bar.SetPosition(seconds);
    // Widened with their sign, as the converter's numbers are signed.
    showOnTaskbar(TaskbarProgress::State::Paused, quint64(qint64(seconds)),
                  quint64(qint64(duration)));
}

void ProgressIndicators::EndTaskbarProgress()
{
    m_taskbar->SetProgressState(TaskbarProgress::State::NoProgress);
}
