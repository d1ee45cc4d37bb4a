#include "session/JobSession.h"

JobSession::JobSession(ProgramState &state, const JobWindow &window)
    : m_controller(state, window, m_clock)
{
    m_controller.setSteps({m_routedLookup, m_routedTransfer, m_conversion, *this});
    // The client's waits are the job's message passes while anti-freeze is on,
    // from the window's creation until the first conversion.
    m_client.setEventPump([&messages = window.messages] { messages.processMessages(); });
    m_client.setAntiFreezeActive(true);
}

void JobSession::apply(const JobSettings &settings)
{
    TransferSettings transfer = m_transfer.settings();
    transfer.resume = settings.resume;
    transfer.retry.attempts = settings.retries + 1;
    transfer.connections = settings.connections;
    m_transfer.setSettings(transfer);
    setExtractor(settings.extractor);
    m_routedTransfer.setSubtitles(settings.subtitles);
}
