// One download over several connections: easy handles side by side on the
// client's one multi handle, on the calling thread.
#include "net/HttpLanes.h"

#include "net/HttpClient.h"
#include "net/HttpExchange.h"
#include "net/RequestLine.h"

#include <memory>
#include <vector>

struct HttpClient::Lane
{
    CurlEasy own; // a further lane's handle; the first uses the client's
    CURL *easy = nullptr;
    HttpRequest request;
    std::unique_ptr<Exchange> state;
    QByteArray url;
    bool first = false;
    bool running = false;
};

namespace {

HttpResult refusedResult(const QString &error)
{
    HttpResult result;
    result.failure = HttpFailure::Refused;
    result.error = error;
    return result;
}

} // namespace

bool HttpClient::startLane(Lane &lane, int redirects)
{
    lane.state = std::make_unique<Exchange>();
    Exchange &state = *lane.state;
    state.client = this;
    state.method = Method::Get;
    state.request = &lane.request;
    state.takes = Takes::SuccessOnly;
    state.redirects = redirects;
    lane.running = configure(lane.easy, Method::Get, lane.url, lane.request, state) &&
                   curl_multi_add_handle(m_multi.get(), lane.easy) == CURLM_OK;
    return lane.running;
}

HttpResult HttpClient::GetAlongside(const HttpRequest &request, HttpLanes &lanes, int connections)
{
    if (m_busy)
        return refusedResult(QStringLiteral("a request is already under way"));
    if ((!m_multi || !m_easy) && !resetConnections())
        return refusedResult(QStringLiteral("libcurl could not be initialised"));
    const QByteArray start = urlBytes(request.url);
    if (!isWebScheme(start))
        return refusedResult(QStringLiteral("only http and https URLs are spoken"));
    struct Busy
    {
        bool &flag;
        explicit Busy(bool &f)
            : flag(f)
        {
            flag = true;
        }
        ~Busy() { flag = false; }
    } busy(m_busy);

    std::vector<std::unique_ptr<Lane>> all;
    for (int i = 0; i < std::max(1, connections); ++i) {
        auto lane = std::make_unique<Lane>();
        lane->first = i == 0;
        if (!lane->first)
            lane->own.reset(curl_easy_init());
        lane->easy = lane->first ? m_easy.get() : lane->own.get();
        if (lane->easy)
            all.push_back(std::move(lane));
    }
    Lane &first = *all.front();
    first.request = request;
    first.url = start;
    int redirects = 0;
    HttpResult firstResult;
    bool firstDone = !startLane(first, 0);
    if (firstDone)
        firstResult.failure = HttpFailure::Network;
    bool stopped = false;
    std::exception_ptr thrown;

    // Ends a lane's request: its work end, its outcome, and for the first one
    // the redirect it may lead to.
    const auto finish = [&](Lane &lane, CURLcode code) {
        Exchange &state = *lane.state;
        state.result = code;
        curl_multi_remove_handle(m_multi.get(), lane.easy);
        lane.running = false;
        if (state.workBegun && lane.request.progress)
            state.guarded([&] { lane.request.progress->workEnds(); });
        if (state.callbackError) {
            thrown = state.callbackError;
            return;
        }
        const Hop hop = outcome(lane.easy, state);
        if (!lane.first) {
            state.guarded([&] { lanes.requestEnds(lane.request, hop.result); });
            if (state.callbackError)
                thrown = state.callbackError;
            return;
        }
        if (!hop.next.isEmpty() && !stopped) {
            if (!sameOrigin(lane.url, hop.next))
                lane.request.headers.removeIf(
                    [](const auto &header) { return isCredentialHeader(header.first); });
            lane.url = hop.next;
            if (startLane(lane, ++redirects))
                return;
        }
        firstResult = hop.result;
        firstDone = true;
        state.guarded([&] { lanes.requestEnds(lane.request, hop.result); });
        if (state.callbackError)
            thrown = state.callbackError;
    };

    int running = 1;
    while (!thrown && curl_multi_perform(m_multi.get(), &running) == CURLM_OK) {
        for (const auto &lane : all) {
            Exchange *state = lane->state.get();
            if (!lane->running || !state)
                continue;
            if (state->unreported > 0 && !state->stopped && !state->sinkFailed &&
                !state->callbackError)
                state->guarded([&] { state->reportWork(); });
            stopped = stopped || state->stopped;
            if (state->callbackError)
                thrown = state->callbackError;
        }
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(m_multi.get(), &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            for (const auto &lane : all) {
                if (lane->running && lane->easy == message->easy_handle)
                    finish(*lane, message->data.result);
            }
        }
        if (thrown || stopped)
            break;

        // Further requests once the first answer's head is in; lanes itself
        // knows whether its body was taken.
        const Exchange &lead = *first.state;
        const bool bodyComing =
            firstDone || (lead.head.complete && !lead.follow &&
                          lead.target == Exchange::Target::Caller && !lead.mismatch);
        bool anyRunning = false;
        for (const auto &lane : all) {
            if (!lane->running && bodyComing && (!lane->first || firstDone)) {
                std::optional<HttpRequest> next;
                first.state->guarded(
                    [&] { next = lanes.nextRequest(QString::fromUtf8(first.url)); });
                if (first.state->callbackError) {
                    thrown = first.state->callbackError;
                    break;
                }
                if (next) {
                    lane->request = *next;
                    lane->request.headers = first.request.headers;
                    lane->url = first.url;
                    // A further request follows no redirect: it asks for the
                    // answer the first one found.
                    if (!startLane(*lane, RedirectMaximum - 1))
                        lanes.requestEnds(lane->request,
                                          refusedResult(QStringLiteral("no further connection")));
                }
            }
            anyRunning = anyRunning || lane->running;
        }
        if (thrown || !anyRunning)
            break;
        if (running == 0)
            continue; // the new requests start at the next perform
        int events = 0;
        curl_multi_poll(m_multi.get(), nullptr, 0, SliceMs, &events);
        if (events != 0)
            continue;
        if (m_antiFreeze)
            pumpEvents();
        if (request.progress && request.progress->quietSlice() == WorkAnswer::Stop)
            stopped = true;
    }

    // A stop or a failure ends every lane; removing a transfer under way closes its connection.
    for (const auto &lane : all) {
        if (!lane->running)
            continue;
        lane->state->stopped = lane->state->stopped || stopped;
        curl_multi_remove_handle(m_multi.get(), lane->easy);
        lane->running = false;
        if (lane->state->workBegun && lane->request.progress && !thrown)
            lane->request.progress->workEnds();
        if (thrown)
            continue;
        const Hop hop = outcome(lane->easy, *lane->state);
        if (lane->first)
            firstResult = hop.result;
        lanes.requestEnds(lane->request, hop.result);
    }
    if (thrown)
        std::rethrow_exception(thrown);
    return firstResult;
}
