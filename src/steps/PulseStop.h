#pragma once

#include "job/JobPulse.h"
#include "net/HttpProgress.h"

// The work events of a request that shows nothing: it ends when the job
// winds down, at its next piece or quiet wait.
class PulseStop final : public HttpProgress
{
public:
    explicit PulseStop(const JobPulse &pulse)
        : m_pulse(pulse)
    {}
    void workBegins(qint64, qint64, WorkBody) override {}
    WorkAnswer workStep(qint64) override { return answer(); }
    WorkAnswer quietSlice() override { return answer(); }

private:
    WorkAnswer answer() const
    {
        return m_pulse.windingDown() ? WorkAnswer::Stop : WorkAnswer::GoOn;
    }

    const JobPulse &m_pulse;
};
