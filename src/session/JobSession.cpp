#include "session/JobSession.h"

#include "steps/ExtractorProgram.h"

#include <QDir>

JobSession::JobSession(ProgramState &state, const JobWindow &window)
    : m_controller(state, window, m_clock)
{
    m_controller.setSteps({m_routedLookup, m_routedTransfer, m_conversion, *this});
    m_controller.setUpkeep(*this);
    // The client's waits are the job's message passes while anti-freeze is on,
    // from the window's creation until the first conversion.
    m_client.setEventPump([&messages = window.messages] { messages.processMessages(); });
    m_client.setAntiFreezeActive(true);
}

void JobSession::apply(const JobSettings &settings)
{
    TransferSettings transfer = m_transfer.settings();
    transfer.resume = settings.resume;
    transfer.retry.attempts = settings.retries + 1;
    transfer.connections = settings.connections;
    m_transfer.setSettings(transfer);
    setExtractor(settings.extractor);
    m_extractorLookup.setCookiesFromBrowser(settings.cookiesFromBrowser);
    m_extractorDownload.setCookiesFromBrowser(settings.cookiesFromBrowser);
    m_routedTransfer.setSubtitles(settings.subtitles);
    m_settings = settings;
}

ExtractorUpdateReport JobSession::UpdateExtractor()
{
    ExtractorUpdateReport report;
    report.releases = m_settings.extractorReleases.isEmpty() ? ExtractorUpdate::DefaultReleases
                                                             : m_settings.extractorReleases;
    if (m_settings.managedExtractor.isEmpty()) {
        report.outcome = ExtractorUpdateOutcome::DiskFailed;
        report.detail = QStringLiteral("no place for it");
        return report;
    }
    // The window stays responsive and a Stop reaches the requests.
    setAntiFreezeActive(true);
    report = m_extractorUpdate.run(report.releases, m_settings.managedExtractor);
    const bool inPlace = report.outcome == ExtractorUpdateOutcome::Updated ||
                         report.outcome == ExtractorUpdateOutcome::Current;
    if (inPlace && !m_settings.extractorNamed)
        m_extractorProgram = m_settings.managedExtractor;
    if (inPlace &&
        QDir::cleanPath(m_extractorProgram) != QDir::cleanPath(m_settings.managedExtractor)) {
        report.otherInUse = m_extractorProgram;
        report.routeOff = m_extractorProgram.isEmpty();
    }
    return report;
}

ExtractorInUse JobSession::DescribeExtractor()
{
    return DescribeExtractorProgram(m_extractorProgram,
                                    m_extractorProgram.isEmpty() && m_settings.extractorNamed);
}
