#pragma once

#include "job/JobPulse.h"

class MessagePass;
struct ProgramState;

// The pulse of the running job: its state and the window's message pass.
class StatePulse final : public JobPulse
{
public:
    StatePulse(const ProgramState &state, MessagePass &messages);

    bool windingDown() const override;
    bool closing() const override;
    void pass() override;

private:
    const ProgramState &m_state;
    MessagePass &m_messages;
};
