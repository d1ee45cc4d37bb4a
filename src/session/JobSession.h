#pragma once

#include "convert/StoredConverter.h"
#include "job/Clock.h"
#include "job/JobController.h"
#include "net/HttpClient.h"
#include "session/JobSettings.h"
#include "steps/ConversionWorkflow.h"
#include "steps/ExtractorDownload.h"
#include "steps/ExtractorLookup.h"
#include "steps/ExtractorUpdate.h"
#include "steps/HttpServiceClient.h"
#include "steps/RoutedLookup.h"
#include "steps/RoutedTransfer.h"
#include "steps/Transfer.h"
#include "steps/VideoLookup.h"

struct ProgramState;

// The real job: the program's one HTTP client and the real lookup, transfer
// and conversion, wired to a window (the main window or the terminal), and
// the update of the managed extractor copy, a job of its own. The controller
// comes first: the steps are built on its report and pulse. The external
// extractor's route is off until a program is set for it.
class JobSession final : private AntiFreeze, private ExtractorUpkeep
{
public:
    JobSession(ProgramState &state, const JobWindow &window);
    JobSession(const JobSession &) = delete;
    JobSession &operator=(const JobSession &) = delete;

    JobController &controller() { return m_controller; }
    Transfer &transfer() { return m_transfer; }
    bool antiFreezeActive() const { return m_client.antiFreezeActive(); }
    // Between jobs.
    void apply(const JobSettings &settings);
    // The external extractor program; empty turns its route off. Between jobs.
    void setExtractor(const QString &program) { m_extractorProgram = program; }
    const QString &extractor() const { return m_extractorProgram; }

private:
    void setAntiFreezeActive(bool active) override { m_client.setAntiFreezeActive(active); }
    // ExtractorUpkeep: once the managed copy is in place, it runs unless the
    // user named a program.
    ExtractorUpdateReport UpdateExtractor() override;
    ExtractorInUse DescribeExtractor() override;

    SteadyClock m_clock;
    HttpClient m_client;
    JobController m_controller;
    HttpServiceClient m_serviceClient{m_client, m_controller.pulse()};
    QString m_extractorProgram;
    JobSettings m_settings;
    Transfer m_transfer{m_client, m_controller.report(), m_controller.pulse()};
    VideoLookup m_lookup{m_serviceClient, m_controller.formats()};
    ExtractorLookup m_extractorLookup{m_controller.formats(), m_controller.pulse()};
    ExtractorDownload m_extractorDownload{m_controller.report(), m_controller.pulse()};
    ExtractorUpdate m_extractorUpdate{m_client, m_controller.report(), m_controller.pulse()};
    RoutedLookup m_routedLookup{m_controller.pulse(), m_lookup, m_extractorLookup,
                                m_extractorProgram};
    RoutedTransfer m_routedTransfer{m_transfer, m_extractorDownload, m_extractorProgram};
    StoredConverter m_converter;
    ConversionWorkflow m_conversion{m_controller.report(), m_controller.pulse(), m_converter,
                                    m_clock};
};
