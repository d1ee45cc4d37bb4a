#pragma once

#include "job/JobSteps.h"
#include "job/JobWindow.h"
#include "net/HttpWorkListener.h"

class HttpClient;
struct ProgramState;

// The direction of a work event; the client only ever reads.
enum TWorkMode
{
    wmRead,
    wmWrite
};

// Copies the stream into the save folder through the shared client and turns
// the client's work events into the progress display. The work events fire
// for every request of a job; they act on the display only while downloading,
// and in every phase they are where a Stop or a window close reaches the
// network: their answer ends the request under way.
class Transfer final : public FileTransfer, private HttpWorkListener
{
public:
    // Becomes the client's work listener for as long as it lives.
    Transfer(ProgramState &state, const JobWindow &window, HttpClient &client);
    ~Transfer() override;
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;

    bool DownloadToFile(const QString &url, const QString &path) override;

    void IdHTTP1WorkBegin(TWorkMode AWorkMode, qint64 AWorkCountMax);
    // Stop when the job is winding down, decided before the step's message pass.
    WorkAnswer IdHTTP1Work(TWorkMode AWorkMode, qint64 AWorkCount);
    void IdHTTP1WorkEnd(TWorkMode AWorkMode);

private:
    void workBegins(qint64 announced) override { IdHTTP1WorkBegin(wmRead, announced); }
    WorkAnswer workStep(qint64 received) override { return IdHTTP1Work(wmRead, received); }
    void workEnds() override { IdHTTP1WorkEnd(wmRead); }
    WorkAnswer quietSlice() override;

    ProgramState &m_state;
    JobWindow m_window;
    HttpClient &m_client;
};
