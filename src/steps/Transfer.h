#pragma once

#include "job/JobSteps.h"
#include "job/JobWindow.h"
#include "net/HttpClient.h"
#include "net/HttpWorkListener.h"
#include "steps/RetryPolicy.h"

class PartialFile;
struct ProgramState;

// The direction of a work event; the client only ever reads.
enum TWorkMode
{
    wmRead,
    wmWrite
};

// One download into a file: the URL, headers of its own (a route with a
// referer or cookies of its own), and the file to make.
struct TransferOrder
{
    QString url;
    HttpClient::ExtraHeaders headers;
    QString path;
};

struct TransferSettings
{
    bool resume = true; // continue what an earlier job left of the same stream
    RetryPolicy retry;
};

// Copies the stream into the save folder through the shared client and turns
// the client's work events into the progress display. The body goes into a
// partial file that replaces the target only once the transfer counts as
// done; failures that may pass are tried again, each attempt continuing where
// the last ended. The work events fire for every request of a job; they act
// on the display only while downloading, and in every phase they are where a
// Stop or a window close reaches the network: their answer ends the request
// under way.
class Transfer final : public FileTransfer, private HttpWorkListener
{
public:
    // Becomes the client's work listener for as long as it lives.
    Transfer(ProgramState &state, const JobWindow &window, HttpClient &client);
    ~Transfer() override;
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;

    void setSettings(const TransferSettings &settings) { m_settings = settings; }
    const TransferSettings &settings() const { return m_settings; }

    // The job's download: the stream with the download's request settings.
    TransferResult DownloadToFile(const QString &url, const QString &path) override;
    // Any route's download, with the request settings left as they are.
    TransferResult fetch(const TransferOrder &order);

    void IdHTTP1WorkBegin(TWorkMode AWorkMode, qint64 AWorkCountMax);
    // Stop when the job is winding down, decided before the step's message pass.
    WorkAnswer IdHTTP1Work(TWorkMode AWorkMode, qint64 AWorkCount);
    void IdHTTP1WorkEnd(TWorkMode AWorkMode);

private:
    void workBegins(qint64 announced) override;
    WorkAnswer workStep(qint64 received) override;
    void workEnds() override { IdHTTP1WorkEnd(wmRead); }
    WorkAnswer quietSlice() override;

    HttpResult attempt(const TransferOrder &order, PartialFile &file);
    bool waitToRetry(const HttpResult &failed, int next);
    const QString &totalText();

    ProgramState &m_state;
    JobWindow m_window;
    HttpClient &m_client;
    TransferSettings m_settings;
    PartialFile *m_file = nullptr; // while a transfer runs
    qint64 m_offset = 0;           // bytes held before the body under way
    // The total's size text, the same for every piece of a body.
    struct
    {
        qint64 bytes = -1;
        QChar separator;
        QString text;
    } m_total;
};
