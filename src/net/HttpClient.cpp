#include "net/HttpClient.h"

#include "net/TextDecoding.h"

#include <QCoreApplication>

#include <algorithm>
#include <exception>
#include <string>

namespace {

// Collects a body in memory for the text and byte requests.
class BufferSink final : public HttpBodySink
{
public:
    QByteArray data;
    bool bodyBegins(qint64) override
    {
        data.clear();
        return true;
    }
    bool write(const char *bytes, qint64 size) override
    {
        data.append(bytes, size);
        return true;
    }
};

// Characters below 256 go out as those bytes, anything else as UTF-8. Blanks
// and control characters cannot stand in a request line (libcurl refuses the
// whole URL): they alone are escaped, so a link pasted with a trailing blank
// still makes its request.
QByteArray urlBytes(const QString &url)
{
    bool wide = false;
    for (const QChar c : url)
        wide = wide || c.unicode() > 0xff;
    const QByteArray bytes = wide ? url.toUtf8() : url.toLatin1();
    QByteArray sent;
    sent.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7f)
            sent += '%' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        else
            sent += c;
    }
    return sent;
}

bool isWebScheme(const QByteArray &url)
{
    const QByteArray lower = url.left(8).toLower();
    return lower.startsWith("http://") || lower.startsWith("https://");
}

// A header value never carries a line end into the request.
QByteArray headerLine(const char *name, const QString &value)
{
    QByteArray bytes = value.toLatin1();
    bytes.replace('\r', ' ').replace('\n', ' ');
    return QByteArray(name) + ": " + bytes;
}

} // namespace

struct HttpClient::Exchange
{
    HttpClient *client = nullptr;
    Method method = Method::Get;
    HttpBodySink *sink = nullptr;
    int redirects = 0;
    ResponseHead head;
    Target target = Target::Aside;
    bool follow = false;
    bool workBegun = false;
    qint64 received = 0;
    bool sinkFailed = false;
    bool disconnected = false;
    bool finished = false;
    CURLcode result = CURLE_OK;
    std::exception_ptr callbackError;
    CurlSlist headers;
    char errorText[CURL_ERROR_SIZE] = {};
};

HttpClient::HttpClient()
{
    resetConnections();
}

HttpClient::~HttpClient() = default;

QString HttpClient::Get(const QString &url)
{
    BufferSink sink;
    request(Method::Get, url, &sink);
    return decodeBody(sink.data, m_contentType);
}

QByteArray HttpClient::GetBytes(const QString &url)
{
    BufferSink sink;
    request(Method::Get, url, &sink);
    return sink.data;
}

void HttpClient::Get(const QString &url, HttpBodySink &sink)
{
    request(Method::Get, url, &sink);
}

void HttpClient::Head(const QString &url)
{
    request(Method::Head, url, nullptr);
}

void HttpClient::Disconnect()
{
    if (m_busy)
        m_disconnectRequested = true;
    else
        resetConnections();
}

void HttpClient::resetConnections()
{
    // Dropping the multi handle closes every connection it keeps.
    m_easy.reset();
    m_multi.reset(curl_multi_init());
    m_easy.reset(curl_easy_init());
    if (!m_multi || !m_easy)
        throw HttpError(0, "libcurl could not be initialised");
}

void HttpClient::pumpEvents()
{
    if (m_pump)
        m_pump();
    else if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void HttpClient::request(Method method, const QString &url, HttpBodySink *sink)
{
    if (m_busy)
        throw HttpError(0, "a request is already under way");
    if (!m_multi || !m_easy)
        resetConnections();
    struct BusyGuard
    {
        HttpClient &client;
        explicit BusyGuard(HttpClient &c)
            : client(c)
        {
            client.m_busy = true;
            client.m_disconnectRequested = false;
        }
        ~BusyGuard()
        {
            client.m_busy = false;
            if (client.m_disconnectRequested) {
                client.m_disconnectRequested = false;
                try {
                    client.resetConnections();
                } catch (const HttpError &) {
                    // The next request reports it.
                }
            }
        }
    } guard(*this);

    QByteArray current = urlBytes(url);
    if (!isWebScheme(current))
        throw HttpError(0, "only http and https URLs are supported");
    for (int redirects = 0;; ++redirects) {
        QByteArray next;
        if (!exchange(method, current, sink, redirects, next))
            return;
        current = next;
    }
}

bool HttpClient::exchange(Method method, const QByteArray &url, HttpBodySink *sink, int redirects,
                          QByteArray &nextUrl)
{
    Exchange state;
    state.client = this;
    state.method = method;
    state.sink = sink;
    state.redirects = redirects;
    configure(method, url, state);
    runTransfer(state);

    if (state.workBegun && m_listener)
        m_listener->IdHTTP1WorkEnd(wmRead);
    if (state.callbackError)
        std::rethrow_exception(state.callbackError);
    if (state.sinkFailed)
        throw HttpError(0, "the response body could not be stored");
    if (!state.head.complete) {
        if (state.disconnected)
            throw HttpError(0, "disconnected before a response arrived");
        throw HttpError(0, state.errorText[0] ? state.errorText : curl_easy_strerror(state.result));
    }

    const int status = state.head.status;
    m_contentType = state.head.contentType;
    if (state.target == Target::Aside && !state.follow)
        throw HttpError(status, "HTTP status " + std::to_string(status));
    if (state.disconnected) {
        // Cut by the job: a body of known length or read until close counts
        // as received; a chunked one cannot tell whether anything is missing.
        if (state.follow || state.head.chunked)
            throw HttpError(0, "the connection was closed during the response");
        return false;
    }
    if (state.result != CURLE_OK)
        throw HttpError(0, state.errorText[0] ? state.errorText : curl_easy_strerror(state.result));
    if (!state.follow)
        return false;

    char *location = nullptr;
    curl_easy_getinfo(m_easy.get(), CURLINFO_REDIRECT_URL, &location);
    if (!location)
        throw HttpError(0, "a redirect without a usable target");
    nextUrl = QByteArray(location);
    if (!isWebScheme(nextUrl))
        throw HttpError(0, "a redirect to a scheme other than http or https");
    return true;
}

CurlSlist HttpClient::buildHeaders() const
{
    QList<QByteArray> lines;
    const auto add = [&](const char *name, const QString &value) {
        if (!value.isEmpty())
            lines.append(headerLine(name, value));
    };
    add("Referer", Request.Referer);
    add("User-Agent", Request.UserAgent);
    // An empty line of this name keeps libcurl from sending its own default.
    lines.append(Request.Accept.isEmpty() ? QByteArray("Accept:")
                                          : headerLine("Accept", Request.Accept));
    add("Accept-Charset", Request.AcceptCharSet);
    lines.append("Accept-Encoding: identity");
    add("Connection", Request.Connection);
    add("Content-Type", Request.ContentType);

    curl_slist *list = nullptr;
    for (const QByteArray &line : lines) {
        curl_slist *grown = curl_slist_append(list, line.constData());
        if (!grown) {
            curl_slist_free_all(list);
            throw HttpError(0, "out of memory building the request");
        }
        list = grown;
    }
    return CurlSlist(list);
}

void HttpClient::configure(Method method, const QByteArray &url, Exchange &state)
{
    CURL *easy = m_easy.get();
    curl_easy_reset(easy);
    state.headers = buildHeaders();
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
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpClient::headerCallback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpClient::writeCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, state.errorText);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 4L * MaxPiece);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, m_antiFreeze ? ConnectTimeoutMs : 0L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(m_stallTimeout.count()));
}

void HttpClient::runTransfer(Exchange &state)
{
    CURLM *multi = m_multi.get();
    CURL *easy = m_easy.get();
    if (curl_multi_add_handle(multi, easy) != CURLM_OK)
        throw HttpError(0, "the request could not be started");

    int running = 1;
    while (true) {
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        if (!running || state.disconnected)
            break;
        if (m_disconnectRequested) {
            state.disconnected = true;
            break;
        }
        int events = 0;
        curl_multi_poll(multi, nullptr, 0, SliceMs, &events);
        if (events == 0) {
            if (m_antiFreeze)
                pumpEvents();
            if (m_listener && m_listener->shouldDisconnect())
                m_disconnectRequested = true;
        }
        if (m_disconnectRequested) {
            state.disconnected = true;
            break;
        }
    }

    int queued = 0;
    while (CURLMsg *message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
            state.finished = true;
            state.result = message->data.result;
        }
    }
    // Removing a transfer that is still under way closes its connection.
    curl_multi_remove_handle(multi, easy);
    if (state.disconnected)
        m_disconnectRequested = true;
}

size_t HttpClient::headerCallback(char *data, size_t size, size_t count, void *user)
{
    auto &state = *static_cast<Exchange *>(user);
    const size_t bytes = size * count;
    try {
        state.client->onHeaderLine(state, data, bytes);
    } catch (...) {
        state.callbackError = std::current_exception();
        return 0;
    }
    return state.sinkFailed ? 0 : bytes;
}

size_t HttpClient::writeCallback(char *data, size_t size, size_t count, void *user)
{
    auto &state = *static_cast<Exchange *>(user);
    try {
        return state.client->onBody(state, data, size * count);
    } catch (...) {
        state.callbackError = std::current_exception();
        return 0;
    }
}

void HttpClient::onHeaderLine(Exchange &state, const char *data, size_t size)
{
    const bool wasComplete = state.head.complete;
    state.head.addLine(QByteArrayView(data, static_cast<qsizetype>(size)));
    ResponseHead &head = state.head;
    if (head.status != 0 && !head.isInformational() && !head.complete &&
        QByteArrayView(data, static_cast<qsizetype>(size)).startsWith("HTTP/"))
        m_responseCode = head.status;
    if (!head.complete || wasComplete)
        return;

    const int status = head.status;
    const bool redirect = status >= 300 && status < 400 && status != 304 && head.hasLocation;
    if (redirect && HandleRedirects && state.redirects + 1 < RedirectMaximum) {
        state.follow = true;
        state.target = Target::Aside;
    } else if ((status >= 200 && status < 300) || redirect) {
        state.target = Target::Caller;
    } else {
        state.target = Target::Aside;
    }

    if (state.target == Target::Caller && state.sink &&
        !state.sink->bodyBegins(head.chunked ? -1 : head.contentLength)) {
        state.sinkFailed = true;
        return;
    }
    const bool hasBody =
        state.method != Method::Head && status != 204 && status != 304 && head.contentLength != 0;
    if (hasBody) {
        state.workBegun = true;
        if (m_listener)
            m_listener->IdHTTP1WorkBegin(
                wmRead, head.chunked || head.contentLength < 0 ? 0 : head.contentLength);
    }
}

size_t HttpClient::onBody(Exchange &state, const char *data, size_t size)
{
    if (m_disconnectRequested) {
        state.disconnected = true;
        return 0;
    }
    size_t offset = 0;
    while (offset < size) {
        const size_t piece = std::min<size_t>(MaxPiece, size - offset);
        if (state.target == Target::Caller && state.sink &&
            !state.sink->write(data + offset, static_cast<qint64>(piece))) {
            state.sinkFailed = true;
            return 0;
        }
        offset += piece;
        state.received += static_cast<qint64>(piece);
        if (m_listener)
            m_listener->IdHTTP1Work(wmRead, state.received);
        if (m_antiFreeze)
            pumpEvents();
        if (m_disconnectRequested) {
            state.disconnected = true;
            return 0;
        }
    }
    return size;
}
