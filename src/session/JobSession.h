#pragma once

#include "convert/StoredConverter.h"
#include "job/Clock.h"
#include "job/JobController.h"
#include "net/HttpClient.h"
#include "steps/ConversionWorkflow.h"
#include "steps/HttpServiceClient.h"
#include "steps/Transfer.h"
#include "steps/VideoLookup.h"

struct ProgramState;

// The real job: the program's one HTTP client and the real lookup, transfer
// and conversion, wired to a window (the main window or the terminal).
class JobSession final : private AntiFreeze
{
public:
    JobSession(ProgramState &state, const JobWindow &window);
    JobSession(const JobSession &) = delete;
    JobSession &operator=(const JobSession &) = delete;

    JobController &controller() { return m_controller; }
    Transfer &transfer() { return m_transfer; }
    bool antiFreezeActive() const { return m_client.antiFreezeActive(); }

private:
    void setAntiFreezeActive(bool active) override { m_client.setAntiFreezeActive(active); }

    SteadyClock m_clock;
    HttpClient m_client;
    HttpServiceClient m_serviceClient{m_client};
    Transfer m_transfer;
    VideoLookup m_lookup;
    StoredConverter m_converter;
    ConversionWorkflow m_conversion;
    JobController m_controller;
};
