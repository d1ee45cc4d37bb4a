#include "steps/PieceLanes.h"

#include "job/JobPulse.h"
#include "net/HttpBodySink.h"
#include "net/HttpProgress.h"
#include "steps/PartialFile.h"
#include "steps/Transfer.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 Unbounded = std::numeric_limits<qint64>::max();

} // namespace

// One request's place in the file: it writes at pos and may go up to end.
class PieceLanes::Lane final : public HttpBodySink, public HttpProgress
{
public:
    Lane(PieceLanes &owner, bool first)
        : first(first)
        , m_owner(owner)
    {}

    const bool first;
    bool asking = false;   // a request of this lane is under way
    bool accepted = false; // its answer continues the file
    bool onPurpose = false;
    bool abandoned = false; // the lanes fell back: it writes no more
    qint64 pos = 0;
    qint64 end = 0;
    qint64 wrote = 0;

    void start(qint64 from, qint64 to)
    {
        asking = true;
        accepted = false;
        onPurpose = false;
        pos = from;
        end = to;
        wrote = 0;
    }

    bool responseBegins(const ResponseHead &head, qint64 offset) override
    {
        if (first) {
            accepted = m_owner.m_file.responseBegins(head, offset);
            pos = end = offset;
            return accepted;
        }
        // A whole body or another range: the server gives this connection no piece.
        accepted = offset == pos && offset > 0 && !abandoned;
        if (!accepted)
            m_owner.m_fellBack = true;
        return accepted;
    }
    bool bodyBegins(qint64) override { return true; }
    bool write(const char *data, qint64 size) override
    {
        while (size > 0) {
            if (abandoned)
                return false;
            if (pos >= end && !(first && m_owner.extend(*this))) {
                onPurpose = true;
                return false;
            }
            const qint64 part = std::min(size, end - pos);
            if (!m_owner.m_file.writeAt(pos, data, part))
                return false;
            pos += part;
            wrote += part;
            data += part;
            size -= part;
        }
        return true;
    }

    void workBegins(qint64 announced, qint64 offset, WorkBody body) override
    {
        m_body = body;
        // The first answer's begin is the whole file's; the further ones add to it.
        if (first && body != WorkBody::Error)
            m_owner.m_transfer.IdHTTP1WorkBegin(wmRead, announced > 0 ? offset + announced : 0);
    }
    WorkAnswer workStep(qint64 received) override
    {
        if (m_body == WorkBody::Error)
            return quietSlice();
        // A redirect's body counts by itself, as a lone request's does.
        const qint64 count =
            m_body == WorkBody::Redirect ? received : m_owner.m_file.extents().held();
        const WorkAnswer answer = m_owner.m_transfer.IdHTTP1Work(wmRead, count);
        m_owner.m_stopped = m_owner.m_stopped || answer == WorkAnswer::Stop;
        return answer;
    }
    WorkAnswer quietSlice() override
    {
        const bool stop = m_owner.m_pulse.windingDown();
        m_owner.m_stopped = m_owner.m_stopped || stop;
        return stop ? WorkAnswer::Stop : WorkAnswer::GoOn;
    }

private:
    PieceLanes &m_owner;
    WorkBody m_body = WorkBody::Answer;
};

PieceLanes::PieceLanes(PartialFile &file, Transfer &transfer, JobPulse &pulse, int connections)
    : m_file(file)
    , m_transfer(transfer)
    , m_pulse(pulse)
    , m_connections(std::max(1, connections))
{
    m_lanes.push_back(std::make_unique<Lane>(*this, true));
    m_lanes.front()->asking = true;
}

PieceLanes::~PieceLanes() = default;

HttpBodySink &PieceLanes::firstSink()
{
    return *m_lanes.front();
}

HttpProgress &PieceLanes::firstProgress()
{
    return *m_lanes.front();
}

bool PieceLanes::firstEndedOnPurpose() const
{
    return m_lanes.front()->onPurpose;
}

qint64 PieceLanes::pieceSize(qint64 total, int connections)
{
    constexpr qint64 Smallest = 256 * 1024;
    constexpr qint64 Largest = 4 * 1024 * 1024;
    return std::clamp(total / (std::max(1, connections) * 8), Smallest, Largest);
}

PieceLanes::Lane &PieceLanes::idleLane()
{
    for (const auto &lane : m_lanes) {
        if (!lane->first && !lane->asking)
            return *lane;
    }
    m_lanes.push_back(std::make_unique<Lane>(*this, false));
    return *m_lanes.back();
}

qint64 PieceLanes::freeUntil(qint64 from, const Lane *self, bool overwrite) const
{
    qint64 limit = overwrite ? Unbounded : m_file.extents().nextHeld(from, Unbounded);
    for (const auto &lane : m_lanes) {
        if (lane.get() != self && lane->asking && lane->end > from)
            limit = std::min(limit, std::max(lane->pos, from));
    }
    return limit;
}

qint64 PieceLanes::lowestFree() const
{
    qint64 at = 0;
    for (;;) {
        qint64 next = m_file.extents().firstMissing(at);
        for (const auto &lane : m_lanes) {
            if (lane->asking && lane->pos <= next && next < lane->end)
                next = lane->end;
        }
        if (next == at)
            return at < m_file.total() ? at : -1;
        at = next;
    }
}

bool PieceLanes::extend(Lane &lane)
{
    const bool others = !m_fellBack && m_file.continuable() && m_file.total() > 0;
    const qint64 limit = freeUntil(lane.pos, &lane, m_fellBack);
    if (limit <= lane.pos)
        return false;
    // Alone it runs to the end; beside others a piece at a time, so theirs come next to it.
    lane.end =
        others ? std::min(limit, lane.pos + pieceSize(m_file.total(), m_connections)) : limit;
    return true;
}

std::optional<HttpRequest> PieceLanes::nextRequest(const QString &url)
{
    const Lane &first = *m_lanes.front();
    if (m_stopped || m_fellBack || !first.accepted || !m_file.continuable() || m_file.total() <= 0)
        return std::nullopt;
    qint64 asking = 0;
    for (const auto &lane : m_lanes)
        asking += lane->asking ? 1 : 0;
    const qint64 from = lowestFree();
    // The first byte is only ever the first request's: a range from 0 reads as none.
    if (asking >= m_connections || from <= 0)
        return std::nullopt;
    const qint64 to = std::min({freeUntil(from, nullptr, false), m_file.total(),
                                from + pieceSize(m_file.total(), m_connections)});
    // A job ended without notice must find only bytes it can vouch for: the
    // record lists the extents before the first piece past a gap is written,
    // and again now and then (each costs a flush to disk).
    const auto now = std::chrono::steady_clock::now();
    if (!m_checkpointed || now - m_checkpointAt >= CheckpointEvery) {
        if (!m_file.checkpoint())
            return std::nullopt;
        m_checkpointed = true;
        m_checkpointAt = now;
    }
    Lane &lane = idleLane();
    lane.start(from, to);
    HttpRequest request;
    request.url = url;
    request.range = RangeAsk{from, m_file.validator(), m_file.total(), to - 1};
    request.sink = &lane;
    request.progress = &lane;
    return request;
}

void PieceLanes::requestEnds(const HttpRequest &request, const HttpResult &result)
{
    for (const auto &lane : m_lanes) {
        if (request.sink != lane.get())
            continue;
        lane->asking = false;
        if (result.stopped || result.failure == HttpFailure::Stopped)
            m_stopped = true;
        if (lane->first || result.ok() || lane->onPurpose)
            break;
        m_lastFailure = result;
        // A piece that brought bytes is asked again at once; one that brought
        // none says the server gives no more connections than one.
        if (lane->wrote == 0)
            m_fellBack = true;
        break;
    }
    if (m_fellBack) {
        for (const auto &lane : m_lanes) {
            if (!lane->first) {
                lane->abandoned = true;
                lane->asking = false;
            }
        }
    }
}
