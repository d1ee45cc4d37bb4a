#include "window/LauncherEntryProgress.h"

#include <QDBusMessage>
#include <QVariantMap>

#include <cmath>

namespace {

// A dock or a task button has at most a few hundred pixels for the progress;
// finer changes than a quarter percent are not sent, so a transfer of many
// small pieces does not flood the bus (each signal also wakes the bus and every
// dock listening). Rounding down keeps "complete" apart from "nearly
// complete", so the last step is always shown.
constexpr double Resolution = 400;

bool sameLook(double a, double b)
{
    return std::floor(a * Resolution) == std::floor(b * Resolution);
}

} // namespace

LauncherEntryProgress::LauncherEntryProgress(const QDBusConnection &bus)
    : m_bus(bus)
{}

void LauncherEntryProgress::SetProgressState(State state)
{
    if (state == State::NoProgress) {
        // Start from an empty bar when progress is shown again.
        m_progress = 0;
        show(false, 0);
    } else {
        show(true, m_progress);
    }
}

void LauncherEntryProgress::SetProgressValue(quint64 completed, quint64 total)
{
    // As on other systems, a value switches a hidden display on.
    double progress = 0;
    if (total > 0)
        progress = completed >= total ? 1.0 : double(completed) / double(total);
    m_progress = progress;
    show(true, progress);
}

void LauncherEntryProgress::show(bool visible, double progress)
{
    if (m_lastSent && m_lastSent->visible == visible && sameLook(m_lastSent->progress, progress))
        return;
    QDBusMessage message = QDBusMessage::createSignal(
        QLatin1String(ObjectPath), QLatin1String(Interface), QLatin1String(Signal));
    QVariantMap properties;
    properties.insert(QStringLiteral("progress"), progress);
    properties.insert(QStringLiteral("progress-visible"), visible);
    message << QString::fromLatin1(AppUri) << properties;
    // A bus that went away loses the display, nothing more; try again next time.
    if (m_bus.send(message))
        m_lastSent = Shown{visible, progress};
}
