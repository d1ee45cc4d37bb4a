#pragma once

#include "convert/StoredConverter.h"
#include "job/Clock.h"
#include "job/JobController.h"
#include "net/HttpClient.h"
#include "steps/ConversionWorkflow.h"
#include "steps/ExtractorDownload.h"
#include "steps/ExtractorLookup.h"
#include "steps/HttpServiceClient.h"
#include "steps/RoutedLookup.h"
#include "steps/RoutedTransfer.h"
#include "steps/Transfer.h"
#include "steps/VideoLookup.h"

struct ProgramState;

// The real job: the program's one HTTP client and the real lookup, transfer
// and conversion, wired to a window (the main window or the terminal). The
// external extractor's route is off until a program is set for it.
class JobSession final : private AntiFreeze
{
public:
    JobSession(ProgramState &state, const JobWindow &window);
    JobSession(const JobSession &) = delete;
    JobSession &operator=(const JobSession &) = delete;

    JobController &controller() { return m_controller; }
    Transfer &transfer() { return m_transfer; }
    bool antiFreezeActive() const { return m_client.antiFreezeActive(); }
    // The external extractor program; empty turns its route off. Between jobs.
    void setExtractor(const QString &program) { m_extractorProgram = program; }
    const QString &extractor() const { return m_extractorProgram; }

private:
    void setAntiFreezeActive(bool active) override { m_client.setAntiFreezeActive(active); }

    SteadyClock m_clock;
    HttpClient m_client;
    HttpServiceClient m_serviceClient{m_client};
    QString m_extractorProgram;
    Transfer m_transfer;
    VideoLookup m_lookup;
    ExtractorLookup m_extractorLookup;
    ExtractorDownload m_extractorDownload;
    RoutedLookup m_routedLookup;
    RoutedTransfer m_routedTransfer;
    StoredConverter m_converter;
    ConversionWorkflow m_conversion;
    JobController m_controller;
};
