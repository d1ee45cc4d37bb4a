#include "session/JobSession.h"

JobSession::JobSession(ProgramState &state, const JobWindow &window)
    : m_transfer(state, window, m_client)
    , m_lookup(m_serviceClient, window.inputs, window.boxes)
    , m_extractorLookup(state, window.inputs, window.boxes, window.messages)
    , m_extractorDownload(state, window)
    , m_routedLookup(state, m_lookup, m_extractorLookup, m_extractorProgram)
    , m_routedTransfer(m_transfer, m_extractorDownload, m_extractorProgram)
    , m_conversion(state, window, m_converter, m_clock)
    , m_controller(state, window, {m_routedLookup, m_routedTransfer, m_conversion, *this}, m_clock)
{
    // The client's waits are the job's message passes while anti-freeze is on,
    // from the window's creation until the first conversion.
    m_client.setEventPump([&messages = window.messages] { messages.processMessages(); });
    m_client.setAntiFreezeActive(true);
}
