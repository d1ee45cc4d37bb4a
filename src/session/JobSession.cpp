#include "session/JobSession.h"

#include "job/JobWindow.h"

JobSession::JobSession(ProgramState &state, JobWindow &window)
    : m_transfer(state, window, m_client)
    , m_lookup(m_serviceClient, window)
    , m_conversion(state, window, m_converter, m_clock)
    , m_controller(state, window, m_lookup, m_transfer, m_conversion, m_clock)
{
    // The client's waits are the job's message passes while anti-freeze is on.
    m_client.setEventPump([&window] { window.processMessages(); });
    m_client.setAntiFreezeActive(true);
}
