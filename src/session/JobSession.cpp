#include "session/JobSession.h"

JobSession::JobSession(ProgramState &state, const JobWindow &window)
    : m_transfer(state, window, m_client)
    , m_lookup(m_serviceClient, window.inputs, window.boxes)
    , m_conversion(state, window, m_converter, m_clock)
    , m_controller(state, window, {m_lookup, m_transfer, m_conversion, *this}, m_clock)
{
    // The client's waits are the job's message passes while anti-freeze is on,
    // from the window's creation until the first conversion.
    m_client.setEventPump([&messages = window.messages] { messages.processMessages(); });
    m_client.setAntiFreezeActive(true);
}
