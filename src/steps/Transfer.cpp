#include "steps/Transfer.h"

#include "job/JobPulse.h"
#include "job/JobReport.h"
#include "service/RequestValues.h"
#include "steps/PartialFile.h"
#include "steps/PieceLanes.h"
#include "steps/ResumeRecord.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>

namespace {

RetryCause causeOf(const HttpResult &failed)
{
    switch (failed.failure) {
    case HttpFailure::Status:
        return RetryCause::ServerError;
    case HttpFailure::Network:
        return RetryCause::ConnectionFailed;
    default:
        return RetryCause::ConnectionLost;
    }
}

} // namespace

// The work events of one request of the download. A body that continues
// what the file held counts from there; a redirect's from zero; an error
// status's body is no progress, though a Stop still ends it.
class Transfer::Receiver final : public HttpProgress
{
public:
    explicit Receiver(Transfer &transfer)
        : m_transfer(transfer)
    {}
    void workBegins(qint64 announced, qint64 offset, WorkBody body) override
    {
        m_offset = offset;
        m_counts = body != WorkBody::Error;
        if (m_counts)
            m_transfer.IdHTTP1WorkBegin(wmRead, announced > 0 ? offset + announced : 0);
    }
    WorkAnswer workStep(qint64 received) override
    {
        if (!m_counts)
            return quietSlice();
        return m_transfer.IdHTTP1Work(wmRead, m_offset + received);
    }
    void workEnds() override { m_transfer.IdHTTP1WorkEnd(wmRead); }
    WorkAnswer quietSlice() override
    {
        return m_transfer.m_pulse.windingDown() ? WorkAnswer::Stop : WorkAnswer::GoOn;
    }

private:
    Transfer &m_transfer;
    qint64 m_offset = 0;
    bool m_counts = true;
};

Transfer::Transfer(HttpClient &client, JobReport &report, JobPulse &pulse)
    : m_client(client)
    , m_report(report)
    , m_pulse(pulse)
{}

TransferResult Transfer::DownloadToFile(const QString &url, const QString &path)
{
    return DownloadToFile(url, path, 1);
}

TransferResult Transfer::DownloadToFile(const QString &url, const QString &path, int connections)
{
    // These settings stay in force for the requests that follow.
    m_client.HandleRedirects = true;
    m_client.Request.ContentType = FormContentType;
    m_client.Request.UserAgent = FallbackUserAgent;
    m_client.Request.Connection = KeepAlive;
    return fetch({url, {}, path, connections});
}

TransferResult Transfer::fetch(const TransferOrder &order)
{
    // Said before any byte is fetched, not when the finished file cannot be put there.
    if (QFileInfo(order.path).isDir())
        return TransferResult::TargetIsFolder;
    PartialFile file(order.path, StreamIdentity(order.url), m_settings.resume);
    switch (file.open()) {
    case PartialFile::Opened::Ready:
        break;
    case PartialFile::Opened::InUse:
        return TransferResult::FileInUse;
    case PartialFile::Opened::IsFolder:
        return TransferResult::PartIsFolder;
    case PartialFile::Opened::Failed:
        return TransferResult::Failed;
    }

    const int attempts = std::max(1, m_settings.retry.attempts);
    const int connections = std::clamp(
        m_settings.connections > 0 ? m_settings.connections : order.connections, 1, MaxConnections);
    bool fellBack = false;
    // The most ever held: only bytes past it are progress (a body that starts
    // afresh brings back what was there).
    qint64 most = file.extents().held();
    for (int tried = 1;; ++tried) {
        const bool asked = file.resumeFrom() > 0;
        const qint64 before = file.extents().held();
        // Bytes past a gap are continued piece by piece even on one connection.
        const bool lanes = !fellBack && (connections > 1 || before != file.extents().prefix());
        const bool wasFallenBack = fellBack;
        HttpResult result =
            lanes ? attemptAlongside(order, file, connections, fellBack) : attempt(order, file);
        // An answer that ends before the whole length (a server that sends
        // part of the range asked, a body without length cut by a close) is
        // no whole file: it is continued like any cut.
        if (result.ok() && !result.stopped && !file.holdsAll()) {
            result.failure = HttpFailure::Cut;
            result.error = QStringLiteral("the answer ended before the end of the file");
        }
        if (file.diskFull()) {
            file.keep();
            return TransferResult::DiskFull;
        }
        if (result.ok()) {
            if (m_pulse.closing())
                return TransferResult::Failed;
            return file.complete(result.stopped) ? TransferResult::Done : TransferResult::Failed;
        }
        // An answer that does not continue the file means starting afresh at once;
        // only an answer to a whole request uses up an attempt.
        if (asked && (result.failure == HttpFailure::Mismatch || result.status == 416)) {
            file.startAfresh();
            --tried;
            continue;
        }
        // A server that gives one connection only: at once, on one.
        if (fellBack && !wasFallenBack && !m_pulse.windingDown()) {
            file.cutToPrefix();
            --tried;
            continue;
        }
        if (!isTransient(result) || m_pulse.windingDown())
            break;
        // An attempt that brought bytes a next one continues is no failure to
        // count or to wait for.
        const qint64 held = file.extents().held();
        if (file.continuable() && held > most) {
            most = held;
            tried = 0;
            continue;
        }
        most = std::max(most, held);
        if (tried >= attempts)
            break;
        if (!waitToRetry(result, tried + 1)) {
            // A Stop during the pause keeps what bodies of known length brought,
            // as a Stop during such a body would have.
            if (m_pulse.windingDown() && !m_pulse.closing() && file.lengthKnown() &&
                !file.extents().isEmpty())
                return file.complete(true) ? TransferResult::Done : TransferResult::Failed;
            break;
        }
    }
    file.keep();
    return TransferResult::Failed;
}

HttpResult Transfer::attempt(const TransferOrder &order, PartialFile &file)
{
    Receiver receiver(*this);
    HttpResult result = m_client.Get({order.url, order.headers, file.rangeAsk(), &file, &receiver});
    m_client.Disconnect();
    return result;
}

HttpResult Transfer::attemptAlongside(const TransferOrder &order, PartialFile &file,
                                      int connections, bool &fellBack)
{
    PieceLanes lanes(file, *this, m_pulse, connections);
    HttpResult result = m_client.GetAlongside(
        {order.url, order.headers, file.rangeAsk(), &lanes.firstSink(), &lanes.firstProgress()},
        lanes, connections);
    m_client.Disconnect();
    fellBack = lanes.fellBack() && !file.holdsAll();
    // The first request's end where another's bytes begin is no failure.
    const bool firstFine = result.ok() || lanes.firstEndedOnPurpose();
    if (!firstFine)
        return result;
    HttpResult merged;
    merged.status = result.status;
    merged.received = result.received;
    if (lanes.stopped() || result.stopped) {
        merged.stopped = !file.holdsAll();
    } else if (!file.holdsAll() && !lanes.lastFailure().ok()) {
        merged = lanes.lastFailure();
    }
    return merged;
}

bool Transfer::waitToRetry(const HttpResult &failed, int next)
{
    using namespace std::chrono;
    const milliseconds delay = m_settings.retry.delayBefore(next, failed);
    const auto end = steady_clock::now() + delay;
    Receiver receiver(*this);
    qint64 shown = -1;
    for (;;) {
        const auto left = ceil<milliseconds>(end - steady_clock::now());
        if (left.count() <= 0)
            return true;
        // Whole seconds, counted down; the last part of a second still reads 1 s.
        const qint64 seconds = (left.count() + 999) / 1000;
        if (seconds != shown && !m_pulse.windingDown()) {
            shown = seconds;
            m_report.retryWaits(
                {causeOf(failed), failed.status, seconds, next, m_settings.retry.attempts});
        }
        const milliseconds slice(std::min<qint64>(left.count() - (seconds - 1) * 1000, 1000));
        if (m_client.Pause(slice, &receiver) == WorkAnswer::Stop || m_pulse.windingDown())
            return false;
    }
}

void Transfer::IdHTTP1WorkBegin(TWorkMode AWorkMode, qint64 AWorkCountMax)
{
    if (AWorkMode == wmRead)
        m_report.transferBegins(AWorkCountMax);
}

WorkAnswer Transfer::IdHTTP1Work(TWorkMode AWorkMode, qint64 AWorkCount)
{
    const WorkAnswer answer = m_pulse.windingDown() ? WorkAnswer::Stop : WorkAnswer::GoOn;
    if (AWorkMode == wmRead)
        m_report.transferProgress(AWorkCount);
    return answer;
}

void Transfer::IdHTTP1WorkEnd(TWorkMode) {}
