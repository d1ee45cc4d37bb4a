#include "steps/Transfer.h"

#include "job/ProgramState.h"
#include "job/TimeTexts.h"
#include "service/RequestValues.h"
#include "steps/PartialFile.h"
#include "steps/ResumeRecord.h"

#include <chrono>

namespace {

// What the status line says of a failure before the next attempt.
QString retryText(const HttpResult &failed, qint64 seconds, int next, int attempts)
{
    const QString when =
        QStringLiteral(", retrying in %1 s (%2 of %3)...").arg(seconds).arg(next).arg(attempts);
    switch (failed.failure) {
    case HttpFailure::Status:
        return QStringLiteral("Server error %1").arg(failed.status) + when;
    case HttpFailure::Network:
        return QStringLiteral("Connection failed") + when;
    default:
        return QStringLiteral("Connection lost") + when;
    }
}

} // namespace

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

TransferResult Transfer::DownloadToFile(const QString &url, const QString &path)
{
    // These settings stay in force for the requests that follow.
    m_client.HandleRedirects = true;
    m_client.Request.ContentType = FormContentType;
    m_client.Request.UserAgent = FallbackUserAgent;
    m_client.Request.Connection = KeepAlive;
    return fetch({url, {}, path});
}

TransferResult Transfer::fetch(const TransferOrder &order)
{
    PartialFile file(order.path, StreamIdentity(order.url), m_settings.resume);
    switch (file.open()) {
    case PartialFile::Opened::Ready:
        break;
    case PartialFile::Opened::InUse:
        return TransferResult::FileInUse;
    case PartialFile::Opened::Failed:
        return TransferResult::Failed;
    }
    struct Current
    {
        PartialFile *&slot;
        Current(PartialFile *&s, PartialFile &file)
            : slot(s)
        {
            slot = &file;
        }
        ~Current() { slot = nullptr; }
    } current(m_file, file);

    const int attempts = std::max(1, m_settings.retry.attempts);
    for (int tried = 1;; ++tried) {
        const bool asked = file.resumeFrom() > 0;
        const HttpResult result = attempt(order, file);
        if (result.ok()) {
            if (m_state.DownloadState == dsClosing)
                return TransferResult::Failed;
            return file.complete(result.stopped) ? TransferResult::Done : TransferResult::Failed;
        }
        // An answer that does not continue the file means starting afresh at once;
        // only an answer to a whole request uses up an attempt.
        if (asked && (file.mismatched() || result.status == 416)) {
            file.startAfresh();
            --tried;
            continue;
        }
        if (!isTransient(result) || isWindingDown(m_state.DownloadState))
            break;
        if (tried >= attempts)
            break;
        if (!waitToRetry(result, tried + 1)) {
            // A Stop during the pause keeps what a body of known length brought,
            // as a Stop during that body would have.
            if (m_state.DownloadState == dsStopRequested && result.failure == HttpFailure::Cut &&
                file.lengthKnown())
                return file.complete(true) ? TransferResult::Done : TransferResult::Failed;
            break;
        }
    }
    file.keep();
    return TransferResult::Failed;
}

HttpResult Transfer::attempt(const TransferOrder &order, PartialFile &file)
{
    HttpClient::ExtraHeaders headers = order.headers;
    if (const qint64 from = file.resumeFrom(); from > 0) {
        headers.append({"Range", "bytes=" + QByteArray::number(from) + '-'});
        headers.append({"If-Range", file.validator()});
    }
    m_offset = 0;
    HttpResult result = m_client.Get(order.url, file, headers);
    m_client.Disconnect();
    return result;
}

bool Transfer::waitToRetry(const HttpResult &failed, int next)
{
    using namespace std::chrono;
    const milliseconds delay = m_settings.retry.delayBefore(next, failed);
    const auto end = steady_clock::now() + delay;
    qint64 shown = -1;
    for (;;) {
        const auto left = ceil<milliseconds>(end - steady_clock::now());
        if (left.count() <= 0)
            return true;
        // Whole seconds, counted down; the last part of a second still reads 1 s.
        const qint64 seconds = (left.count() + 999) / 1000;
        if (seconds != shown && m_state.DownloadState == dsDownloading) {
            shown = seconds;
            m_window.status.setStatusLine(
                retryText(failed, seconds, next, m_settings.retry.attempts));
            m_window.status.setStatusPanel(QStringLiteral("Status: Retrying..."));
        }
        const milliseconds slice(std::min<qint64>(left.count() - (seconds - 1) * 1000, 1000));
        if (m_client.Pause(slice) == WorkAnswer::Stop || isWindingDown(m_state.DownloadState))
            return false;
    }
}

void Transfer::workBegins(qint64 announced)
{
    // Only the download's own body continues what the file held; the bodies
    // of redirects count from zero.
    const qint64 offset = m_file ? m_file->takeBodyOffset() : -1;
    m_offset = offset > 0 ? offset : 0;
    IdHTTP1WorkBegin(wmRead, announced > 0 ? m_offset + announced : 0);
}

WorkAnswer Transfer::workStep(qint64 received)
{
    return IdHTTP1Work(wmRead, m_offset + received);
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
    m_window.status.setStatusLine(QStringLiteral("Downloading... ") %
                                  FormatSize(AWorkCount, separator) % QStringLiteral(" of ") %
                                  totalText() % QStringLiteral(" - \"") % m_state.SaveFileName %
                                  QLatin1Char('"'));
    m_window.status.setStatusPanel(QStringLiteral("Status: Downloading..."));
    m_window.messages.processMessages();
    return answer;
}

void Transfer::IdHTTP1WorkEnd(TWorkMode) {}

const QString &Transfer::totalText()
{
    const auto bytes = qint64(m_state.TotalSize);
    const QChar separator = m_state.DecimalSeparator;
    if (m_total.bytes != bytes || m_total.separator != separator)
        m_total = {bytes, separator, FormatSize(bytes, separator)};
    return m_total.text;
}

WorkAnswer Transfer::quietSlice()
{
    return isWindingDown(m_state.DownloadState) ? WorkAnswer::Stop : WorkAnswer::GoOn;
}
