#pragma once

#include "FileContents.h"
#include "ServiceReply.h"
#include "TransferAgainstService.h"
#include "steps/ResumeRecord.h"

using namespace std::chrono_literals;

// Downloads that fail part way, are stopped, killed or find the remote
// changed, against the sample service's ranges, validators and faults.
class ResumeTest : public TransferAgainstService
{
protected:
    void SetUp() override
    {
        TransferAgainstService::SetUp();
        client.setEventPump([] {});
        client.setStallTimeout(1s);
    }
    QString record() const { return PartialFile::recordPath(target()); }
    TransferResult download(const QString &pathAndQuery)
    {
        state.DownloadState = dsDownloading;
        return transfer.DownloadToFile(url(pathAndQuery), target());
    }
    std::optional<ResumeRecord> readRecord() const
    {
        return parseResumeRecord(contentsOf(record()));
    }
    // The Range and If-Range of each GET the service saw, "-" for none.
    QByteArrayList ranges() const
    {
        QByteArrayList seen;
        for (const ServiceRequest &request : service.requests()) {
            if (request.method != "GET")
                continue;
            const QByteArray range = request.header("Range");
            seen.append(range.isEmpty() ? QByteArray("-")
                                        : range + " " + request.header("If-Range"));
        }
        return seen;
    }
    // The whole file's count at the last work step; -1 before any.
    qint64 lastCount() const
    {
        const QStringList steps = window.calls.filter(QStringLiteral("ShowTransferProgress "));
        return steps.isEmpty() ? -1 : steps.last().section(QLatin1Char(' '), 1, 1).toLongLong();
    }
    // The server goes away once the count reaches at: a further attempt finds none.
    void goneAt(qint64 at)
    {
        window.onMessagePass = [this, at] {
            if (lastCount() >= at)
                service.stop();
        };
    }
    // A download that ends with what arrived until the server went away; the
    // server is back for the next one.
    TransferResult downloadUntilGone(const QString &pathAndQuery, qint64 at)
    {
        goneAt(at);
        const TransferResult result = download(pathAndQuery);
        window.onMessagePass = nullptr;
        service.start();
        return result;
    }
    // The user presses Stop during the nth message pass of the transfer.
    void stopAtPass(int n)
    {
        window.onMessagePass = [this, n, passes = 0]() mutable {
            if (++passes == n)
                state.DownloadState = dsStopRequested;
        };
    }
};
