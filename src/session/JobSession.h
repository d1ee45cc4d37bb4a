#pragma once

#include "convert/ConversionWorkflow.h"
#include "convert/StoredConverter.h"
#include "job/Clock.h"
#include "job/JobController.h"
#include "job/Transfer.h"
#include "net/HttpClient.h"
#include "service/HttpServiceClient.h"
#include "service/VideoLookup.h"

class JobWindow;
struct ProgramState;

// The real job: the program's one HTTP client and the real lookup, transfer
// and conversion, wired to a window (the main window or the terminal).
class JobSession
{
public:
    JobSession(ProgramState &state, JobWindow &window);
    JobSession(const JobSession &) = delete;
    JobSession &operator=(const JobSession &) = delete;

    JobController &controller() { return m_controller; }
    HttpClient &client() { return m_client; }

private:
    SteadyClock m_clock;
    HttpClient m_client;
    HttpServiceClient m_serviceClient{m_client};
    Transfer m_transfer;
    VideoLookup m_lookup;
    StoredConverter m_converter;
    ConversionWorkflow m_conversion;
    JobController m_controller;
};
