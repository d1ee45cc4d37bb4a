#include "job/StatePulse.h"

#include "job/MessagePass.h"
#include "job/ProgramState.h"

StatePulse::StatePulse(const ProgramState &state, MessagePass &messages)
    : m_state(state)
    , m_messages(messages)
{}

bool StatePulse::windingDown() const
{
    return isWindingDown(m_state.DownloadState);
}

bool StatePulse::closing() const
{
    return m_state.DownloadState == dsClosing;
}

void StatePulse::pass()
{
    m_messages.processMessages();
}
