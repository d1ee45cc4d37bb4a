#include "net/HttpClient.h"

#include "net/HttpExchange.h"
#include "net/HttpRanges.h"
#include "net/RequestLine.h"
#include "net/TextDecoding.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <exception>

namespace {

// Collects a body in memory for the text and byte requests, up to a bound.
class BufferSink final : public HttpBodySink
{
public:
    explicit BufferSink(qint64 maxBytes)
        : m_maxBytes(maxBytes)
    {}
    QByteArray data;
    bool tooLarge = false;

    bool bodyBegins(qint64 announced) override
    {
        data.clear();
        return !exceeds(announced);
    }
    bool write(const char *bytes, qint64 size) override
    {
        if (exceeds(data.size() + size))
            return false;
        data.append(bytes, size);
        return true;
    }

private:
    bool exceeds(qint64 size)
    {
        tooLarge = m_maxBytes >= 0 && size > m_maxBytes;
        if (tooLarge)
            data.clear();
        return tooLarge;
    }
    qint64 m_maxBytes;
};

// A body the caller refused for its size is a failure of its own kind.
void markTooLarge(HttpResult &result, const BufferSink &sink)
{
    if (!sink.tooLarge)
        return;
    result.failure = HttpFailure::TooLarge;
    result.error = QStringLiteral("the response is longer than expected");
}

HttpResult failed(HttpFailure failure, const QString &error, int status = 0)
{
    HttpResult result;
    result.failure = failure;
    result.status = status;
    result.error = error;
    return result;
}

} // namespace

HttpClient::HttpClient()
{
    resetConnections();
}

HttpClient::~HttpClient() = default;

HttpText HttpClient::Get(const QString &url, qint64 maxBytes, HttpProgress *progress)
{
    BufferSink sink(maxBytes);
    HttpResult result = request(Method::Get, {url, {}, {}, &sink, progress}, Takes::AnyFinal);
    markTooLarge(result, sink);
    return {std::move(result), decodeBody(sink.data, m_contentType)};
}

HttpBytes HttpClient::GetBytes(const QString &url, qint64 maxBytes, HttpProgress *progress)
{
    BufferSink sink(maxBytes);
    HttpResult result = request(Method::Get, {url, {}, {}, &sink, progress}, Takes::AnyFinal);
    markTooLarge(result, sink);
    return {std::move(result), std::move(sink.data)};
}

HttpResult HttpClient::Get(const HttpRequest &request)
{
    return this->request(Method::Get, request, Takes::SuccessOnly);
}

HttpResult HttpClient::Get(const QString &url, HttpBodySink &sink, HttpProgress *progress)
{
    return Get({url, {}, {}, &sink, progress});
}

HttpResult HttpClient::Head(const QString &url, HttpProgress *progress)
{
    return request(Method::Head, {url, {}, {}, nullptr, progress}, Takes::AnyFinal);
}

WorkAnswer HttpClient::Pause(std::chrono::milliseconds duration, HttpProgress *progress)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + duration;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0)
            return WorkAnswer::GoOn;
        const int slice = static_cast<int>(std::min<qint64>(left.count(), PauseSliceMs));
        int events = 0;
        if (m_multi)
            curl_multi_poll(m_multi.get(), nullptr, 0, slice, &events);
        if (m_antiFreeze)
            pumpEvents();
        if (progress && progress->quietSlice() == WorkAnswer::Stop)
            return WorkAnswer::Stop;
    }
}

void HttpClient::Disconnect()
{
    if (!m_busy)
        resetConnections();
}

bool HttpClient::resetConnections()
{
    // Dropping the multi handle closes every connection it keeps.
    m_easy.reset();
    m_multi.reset(curl_multi_init());
    m_easy.reset(curl_easy_init());
    return m_multi && m_easy;
}

void HttpClient::pumpEvents()
{
    if (m_pump)
        m_pump();
    else if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

HttpResult HttpClient::request(Method method, const HttpRequest &request, Takes takes)
{
    if (m_busy)
        return failed(HttpFailure::Refused, QStringLiteral("a request is already under way"));
    if ((!m_multi || !m_easy) && !resetConnections())
        return failed(HttpFailure::Network, QStringLiteral("libcurl could not be initialised"));
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

    QByteArray current = urlBytes(request.url);
    if (!isWebScheme(current))
        return failed(HttpFailure::Refused, QStringLiteral("only http and https URLs are spoken"));
    HttpRequest hops = request;
    for (int redirects = 0;; ++redirects) {
        Hop hop = exchange(method, current, hops, takes, redirects);
        if (hop.next.isEmpty())
            return hop.result;
        if (!sameOrigin(current, hop.next))
            hops.headers.removeIf(
                [](const auto &header) { return isCredentialHeader(header.first); });
        current = hop.next;
    }
}

HttpClient::Hop HttpClient::exchange(Method method, const QByteArray &url,
                                     const HttpRequest &request, Takes takes, int redirects)
{
    Exchange state;
    state.client = this;
    state.method = method;
    state.request = &request;
    state.takes = takes;
    state.redirects = redirects;
    if (!configure(m_easy.get(), method, url, request, state))
        return {failed(HttpFailure::Network, QStringLiteral("the request could not be built")), {}};
    runTransfer(state);

    if (state.workBegun && request.progress)
        request.progress->workEnds();
    // What a receiver, sink or event pump threw belongs to its caller.
    if (state.callbackError)
        std::rethrow_exception(state.callbackError);
    return outcome(m_easy.get(), state);
}

HttpClient::Hop HttpClient::outcome(CURL *easy, const Exchange &state)
{
    const int status = state.head.status;
    if (state.mismatch)
        return {failed(HttpFailure::Mismatch,
                       QStringLiteral("the answer does not continue the bytes held"), status),
                {}};
    if (state.sinkFailed)
        return {
            failed(HttpFailure::Storage, QStringLiteral("the body could not be stored"), status),
            {}};
    if (!state.head.complete) {
        if (state.stopped)
            return {failed(HttpFailure::Stopped, QStringLiteral("stopped before a response")), {}};
        return {failed(HttpFailure::Network, state.curlError()), {}};
    }

    m_contentType = state.head.contentType;
    if (state.target == Exchange::Target::Aside && !state.follow) {
        HttpResult refused =
            failed(HttpFailure::Status, QStringLiteral("HTTP status %1").arg(status), status);
        if (const std::optional<qint64> wait =
                parseRetryAfter(state.head.retryAfter, QDateTime::currentDateTimeUtc()))
            refused.retryAfter = *wait;
        return {refused, {}};
    }
    HttpResult result;
    result.status = status;
    result.received = state.received;
    if (state.stopped) {
        // A body of known length or read until close counts as received up
        // to the stop; a chunked one cannot tell whether anything is missing.
        if (state.follow || state.head.chunked)
            return {
                failed(HttpFailure::Stopped, QStringLiteral("stopped during the response"), status),
                {}};
        result.stopped = true;
        return {result, {}};
    }
    if (state.result != CURLE_OK) {
        HttpResult cut = failed(HttpFailure::Cut, state.curlError(), status);
        cut.received = state.received;
        return {cut, {}};
    }
    if (!state.follow)
        return {result, {}};

    char *location = nullptr;
    curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location);
    if (!location)
        return {failed(HttpFailure::Network, QStringLiteral("a redirect without a usable target"),
                       status),
                {}};
    const QByteArray next(location);
    if (!isWebScheme(next))
        return {failed(HttpFailure::Refused,
                       QStringLiteral("a redirect to a scheme other than http or https"), status),
                {}};
    return {result, next};
}

bool HttpClient::configure(CURL *easy, Method method, const QByteArray &url,
                           const HttpRequest &request, Exchange &state)
{
    curl_easy_reset(easy);
    curl_slist *list = nullptr;
    QList<QByteArray> lines = requestHeaderLines(Request);
    HttpRequest::Headers extra = request.headers;
    if (request.range && request.range->from > 0) {
        QByteArray range = "bytes=" + QByteArray::number(request.range->from) + '-';
        if (request.range->last >= request.range->from)
            range += QByteArray::number(request.range->last);
        extra.append({"Range", range});
        extra.append({"If-Range", request.range->validator});
    }
    for (const auto &[name, value] : extra) {
        // A header of this request takes the place of a persistent one of that name.
        lines.removeIf([&name = name](const QByteArray &line) {
            return line.size() > name.size() && line.at(name.size()) == ':' &&
                   QByteArrayView(line).first(name.size()).compare(name, Qt::CaseInsensitive) == 0;
        });
        QByteArray clean = value;
        clean.replace('\r', ' ').replace('\n', ' ');
        lines.append(name + ": " + clean);
    }
    for (const QByteArray &line : lines) {
        curl_slist *grown = curl_slist_append(list, line.constData());
        if (!grown) {
            curl_slist_free_all(list);
            return false;
        }
        list = grown;
    }
    state.headers.reset(list);
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    // A proxy's answer to CONNECT (https through a proxy) is no response of ours.
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    if (method == Method::Head)
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    else
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, state.headers.get());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Exchange::headerCallback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Exchange::writeCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, state.errorText);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, ReadBufferBytes);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, m_antiFreeze ? ConnectTimeoutMs : 0L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(m_stallTimeout.count()));
    return true;
}

void HttpClient::runTransfer(Exchange &state)
{
    CURLM *multi = m_multi.get();
    CURL *easy = m_easy.get();
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
        state.result = CURLE_FAILED_INIT;
        return;
    }

    int running = 1;
    while (curl_multi_perform(multi, &running) == CURLM_OK) {
        // Whatever this round brought gets its work step before any wait.
        if (state.unreported > 0 && !state.stopped && !state.sinkFailed && !state.callbackError)
            state.guarded([&] { state.reportWork(); });
        if (!running || state.stopped || state.callbackError)
            break;
        int events = 0;
        curl_multi_poll(multi, nullptr, 0, SliceMs, &events);
        if (events != 0)
            continue;
        if (m_antiFreeze)
            pumpEvents();
        if (state.progress() && state.progress()->quietSlice() == WorkAnswer::Stop)
            state.stopped = true;
    }

    int queued = 0;
    while (CURLMsg *message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
            state.result = message->data.result;
    }
    // Removing a transfer that is still under way closes its connection.
    curl_multi_remove_handle(multi, easy);
}
