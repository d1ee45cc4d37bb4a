#include "job/Transfer.h"

#include "job/JobWindow.h"
#include "job/ProgramState.h"
#include "job/TargetFile.h"
#include "job/TimeTexts.h"
#include "net/HttpClient.h"
#include "service/RequestValues.h"

#include <exception>

Transfer::Transfer(ProgramState &state, JobWindow &window, HttpClient &client)
    : m_state(state)
    , m_window(window)
    , m_client(client)
{
    m_client.setWorkListener(this);
}

Transfer::~Transfer()
{
    m_client.setWorkListener(nullptr);
}

bool Transfer::DownloadToFile(const QString &url, const QString &path)
{
    bool result = false;
    // These settings stay in force for the requests that follow.
    m_client.HandleRedirects = true;
    m_client.Request.ContentType = FormContentType;
    m_client.Request.UserAgent = FallbackUserAgent;
    m_client.Request.Connection = KeepAlive;
    try {
        TargetFile file(path);
        bool received = false;
        try {
            m_client.Get(url, file);
            received = true;
        } catch (const std::exception &) {
        }
        const bool closed = file.finish();
        result = received && closed && m_state.DownloadState != dsClosing;
    } catch (const std::exception &) {
        result = false;
    }
    try {
        m_client.Disconnect();
    } catch (const std::exception &) {
        result = false;
    }
    return result;
}

void Transfer::IdHTTP1WorkBegin(TWorkMode AWorkMode, qint64 AWorkCountMax)
{
    if (AWorkMode != wmRead || m_state.DownloadState != dsDownloading)
        return;
    const auto low = static_cast<quint32>(static_cast<quint64>(AWorkCountMax));
    m_window.setBarPosition(0);
    m_window.SetProgressMaximum(static_cast<qint32>(low));
    m_state.TotalSize = low;
    m_window.setStatusLine(QStringLiteral("Downloading \"") + m_state.SaveFileName +
                           QLatin1Char('"'));
    m_window.setStatusPanel(QStringLiteral("Status: Downloading..."));
}

void Transfer::IdHTTP1Work(TWorkMode AWorkMode, qint64 AWorkCount)
{
    const TDownloadState state = m_state.DownloadState;
    if (state == dsStopRequested || state == dsClosing)
        m_client.Disconnect();
    if (AWorkMode != wmRead || state != dsDownloading)
        return;
    m_window.ShowTransferProgress(AWorkCount, m_state.TotalSize);
    const QChar separator = m_state.DecimalSeparator;
    m_window.setStatusLine(QStringLiteral("Downloading... ") + FormatSize(AWorkCount, separator) +
                           QStringLiteral(" of ") +
                           FormatSize(qint64(m_state.TotalSize), separator) +
                           QStringLiteral(" - \"") + m_state.SaveFileName + QLatin1Char('"'));
    m_window.setStatusPanel(QStringLiteral("Status: Downloading..."));
    m_window.processMessages();
}

void Transfer::IdHTTP1WorkEnd(TWorkMode) {}

bool Transfer::shouldDisconnect() const
{
    return m_state.DownloadState == dsStopRequested || m_state.DownloadState == dsClosing;
}
