#pragma once

#include "job/JobSteps.h"
#include "net/HttpClient.h"
#include "steps/RetryPolicy.h"

class JobPulse;
class JobReport;
class PartialFile;

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
    HttpRequest::Headers headers;
    QString path;
    int connections = 1; // the route's own number, unless the settings name one
};

struct TransferSettings
{
    bool resume = true; // continue what an earlier job left of the same stream
    RetryPolicy retry;
    int connections = 0; // connections of one download; 0: each route's own
};

constexpr int MaxConnections = 16;

// Copies the stream into the save folder through the shared client and
// reports the whole file's progress. The body goes into a partial file that
// replaces the target only once the transfer counts as done; failures that
// may pass are tried again, each attempt continuing where the last ended. The
// work events of the download's requests are where a Stop or a window close
// reaches the network: their answer ends the request under way.
class Transfer final : public FileTransfer
{
public:
    Transfer(HttpClient &client, JobReport &report, JobPulse &pulse);

    void setSettings(const TransferSettings &settings) { m_settings = settings; }
    const TransferSettings &settings() const { return m_settings; }

    // The job's download: the stream with the download's request settings.
    TransferResult DownloadToFile(const QString &url, const QString &path) override;
    // The same over that many connections, unless the settings name a number.
    TransferResult DownloadToFile(const QString &url, const QString &path, int connections);
    // Any route's download, with the request settings left as they are.
    TransferResult fetch(const TransferOrder &order);

    // The work events of the download, in whole-file counts.
    void IdHTTP1WorkBegin(TWorkMode AWorkMode, qint64 AWorkCountMax);
    // Stop when the job is winding down, decided before the step's message pass.
    WorkAnswer IdHTTP1Work(TWorkMode AWorkMode, qint64 AWorkCount);
    void IdHTTP1WorkEnd(TWorkMode AWorkMode);

private:
    class Receiver;

    HttpResult attempt(const TransferOrder &order, PartialFile &file);
    HttpResult attemptAlongside(const TransferOrder &order, PartialFile &file, int connections,
                                bool &fellBack);
    bool waitToRetry(const HttpResult &failed, int next);

    HttpClient &m_client;
    JobReport &m_report;
    JobPulse &m_pulse;
    TransferSettings m_settings;
};
