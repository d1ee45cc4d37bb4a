#include "steps/Transfer.h"

#include "job/ProgramState.h"
#include "job/TimeTexts.h"
#include "net/HttpClient.h"
#include "service/RequestValues.h"
#include "steps/TargetFile.h"

#include <QStringBuilder>

Transfer::Transfer(ProgramState &state, const JobWindow &window, HttpClient &client)
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
    // These settings stay in force for the requests that follow.
    m_client.HandleRedirects = true;
    m_client.Request.ContentType = FormContentType;
    m_client.Request.UserAgent = FallbackUserAgent;
    m_client.Request.Connection = KeepAlive;

    bool received = false;
    bool closed = false;
    {
        TargetFile file(path);
        received = m_client.Get(url, file).ok();
        closed = file.finish();
    }
    m_client.Disconnect();
    return received && closed && m_state.DownloadState != dsClosing;
}

void Transfer::IdHTTP1WorkBegin(TWorkMode AWorkMode, qint64 AWorkCountMax)
{
    if (AWorkMode != wmRead || m_state.DownloadState != dsDownloading)
        return;
    const auto low = static_cast<quint32>(static_cast<quint64>(AWorkCountMax));
    m_window.progress.setBarPosition(0);
    m_window.progress.SetProgressMaximum(static_cast<qint32>(low));
    m_state.TotalSize = low;
    m_window.status.setStatusLine(QStringLiteral("Downloading \"") + m_state.SaveFileName +
                                  QLatin1Char('"'));
    m_window.status.setStatusPanel(QStringLiteral("Status: Downloading..."));
}

WorkAnswer Transfer::IdHTTP1Work(TWorkMode AWorkMode, qint64 AWorkCount)
{
    const TDownloadState state = m_state.DownloadState;
    const WorkAnswer answer = isWindingDown(state) ? WorkAnswer::Stop : WorkAnswer::GoOn;
    if (AWorkMode != wmRead || state != dsDownloading)
        return answer;
    m_window.progress.ShowTransferProgress(AWorkCount, m_state.TotalSize);
    const QChar separator = m_state.DecimalSeparator;
    // Built in one allocation (QStringBuilder's %): this runs for every piece.
    m_window.status.setStatusLine(
        QStringLiteral("Downloading... ") % FormatSize(AWorkCount, separator) %
        QStringLiteral(" of ") % FormatSize(qint64(m_state.TotalSize), separator) %
        QStringLiteral(" - \"") % m_state.SaveFileName % QLatin1Char('"'));
    m_window.status.setStatusPanel(QStringLiteral("Status: Downloading..."));
    m_window.messages.processMessages();
    return answer;
}

void Transfer::IdHTTP1WorkEnd(TWorkMode) {}

WorkAnswer Transfer::quietSlice()
{
    return isWindingDown(m_state.DownloadState) ? WorkAnswer::Stop : WorkAnswer::GoOn;
}
