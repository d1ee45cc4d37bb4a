#pragma once

#include "job/JobSteps.h"
#include "net/HttpWorkListener.h"

class HttpClient;
class JobWindow;
struct ProgramState;

// Copies the stream into the save folder through the shared client and turns
// the client's work events into the progress display. The work events fire
// for every request of a job; they act on the display only while downloading,
// and in every phase they are where a Stop or a window close reaches the
// network.
class Transfer final : public FileTransfer, public HttpWorkListener
{
public:
    // Becomes the client's work listener for as long as it lives.
    Transfer(ProgramState &state, JobWindow &window, HttpClient &client);
    ~Transfer() override;
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;

    bool DownloadToFile(const QString &url, const QString &path) override;

    void IdHTTP1WorkBegin(TWorkMode AWorkMode, qint64 AWorkCountMax) override;
    void IdHTTP1Work(TWorkMode AWorkMode, qint64 AWorkCount) override;
    void IdHTTP1WorkEnd(TWorkMode AWorkMode) override;
    bool shouldDisconnect() const override;

private:
    ProgramState &m_state;
    JobWindow &m_window;
    HttpClient &m_client;
};
