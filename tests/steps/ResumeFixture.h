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
    // The user presses Stop during the nth message pass of the transfer.
    void stopAtPass(int n)
    {
        window.onMessagePass = [this, n, passes = 0]() mutable {
            if (++passes == n)
                state.DownloadState = dsStopRequested;
        };
    }
};
