#pragma once

#include "net/HttpLanes.h"
#include "net/HttpResult.h"

#include <chrono>
#include <memory>
#include <vector>

class HttpBodySink;
class HttpProgress;
class JobPulse;
class PartialFile;
class Transfer;

// One download over several connections into the partial file. The first
// request runs as a lone one would, from the first byte missing; once its
// body proves continuable (a validator and a length), further requests ask
// the lowest bytes nobody holds or fetches, a small piece each, so that what
// is held stays mostly one run from the start. The first request ends where
// it meets bytes held or asked by another and then asks pieces like the rest.
// An answer that does not continue the file (no range, another version)
// falls back to one connection. Every work step reports the whole file's
// bytes held.
class PieceLanes final : public HttpLanes
{
public:
    PieceLanes(PartialFile &file, Transfer &transfer, JobPulse &pulse, int connections);
    ~PieceLanes() override;
    PieceLanes(const PieceLanes &) = delete;
    PieceLanes &operator=(const PieceLanes &) = delete;

    // Where the first request's body and work events go.
    HttpBodySink &firstSink();
    HttpProgress &firstProgress();

    std::optional<HttpRequest> nextRequest(const QString &url) override;
    void requestEnds(const HttpRequest &request, const HttpResult &result) override;

    // The first request ended where another's bytes begin, as it should.
    bool firstEndedOnPurpose() const;
    // A further answer did not continue the file: one connection from now on.
    bool fellBack() const { return m_fellBack; }
    // A receiver answered Stop.
    bool stopped() const { return m_stopped; }
    // How the last further request that failed went; ok when none did.
    const HttpResult &lastFailure() const { return m_lastFailure; }

    // Small enough to keep the held bytes together, large enough that the
    // requests' round trips cost little.
    static qint64 pieceSize(qint64 total, int connections);
    static constexpr std::chrono::milliseconds CheckpointEvery{1000};

private:
    class Lane;

    Lane &idleLane();
    // The end of the run from `from` on that no other lane asks and, unless
    // overwrite, nothing holds.
    qint64 freeUntil(qint64 from, const Lane *self, bool overwrite) const;
    // The lowest byte nobody holds or asks; -1 when none.
    qint64 lowestFree() const;
    bool extend(Lane &lane);

    PartialFile &m_file;
    Transfer &m_transfer;
    JobPulse &m_pulse;
    int m_connections;
    std::vector<std::unique_ptr<Lane>> m_lanes; // the first one first
    HttpResult m_lastFailure;
    bool m_fellBack = false;
    bool m_stopped = false;
    bool m_checkpointed = false;
    std::chrono::steady_clock::time_point m_checkpointAt{};
};
