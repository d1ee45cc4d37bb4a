#pragma once

#include "net/CurlHandles.h"
#include "net/HttpBodySink.h"
#include "net/HttpProgress.h"
#include "net/HttpRequest.h"
#include "net/HttpRequestSettings.h"
#include "net/HttpResult.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>

class HttpLanes;

// The one HTTP client of the program, on libcurl's multi interface. Requests
// block the calling thread and return how they went; while anti-freeze is on,
// waits are cut into short slices and the event pump runs after each empty
// slice and each body piece. Each request carries its own progress receiver,
// whose Stop answer ends it.
class HttpClient
{
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient &) = delete;
    HttpClient &operator=(const HttpClient &) = delete;

    HttpRequestSettings Request; // persists across requests and jobs
    bool AllowCookies = true;    // no cookie engine either way: never a Cookie header
    bool HandleRedirects = true;

    static constexpr qint64 NoLimit = -1;

    // Body as text, decoded in the charset the response declares; a body
    // longer than maxBytes fails the request (TooLarge) and is not kept.
    HttpText Get(const QString &url, qint64 maxBytes = NoLimit, HttpProgress *progress = nullptr);
    // Body as raw bytes, with the same bound.
    HttpBytes GetBytes(const QString &url, qint64 maxBytes = NoLimit,
                       HttpProgress *progress = nullptr);
    // Body into the request's sink, which sees only the body of a final 2xx
    // response: a redirect that is not followed fails the request like an
    // error status. A range the request asks is judged before the sink hears
    // of the body: an answer that does not continue it fails (Mismatch).
    HttpResult Get(const HttpRequest &request);
    HttpResult Get(const QString &url, HttpBodySink &sink, HttpProgress *progress = nullptr);
    // The request as Get(request) runs it, with up to connections - 1 further
    // requests from lanes on connections of their own beside it, once its
    // answer has proved to be the body. Returns the first request's result;
    // a Stop from any receiver ends them all.
    HttpResult GetAlongside(const HttpRequest &request, HttpLanes &lanes, int connections);
    // Status only.
    HttpResult Head(const QString &url, HttpProgress *progress = nullptr);

    // Waits that long between requests the way a request waits: in slices,
    // with the event pump while anti-freeze is on and the receiver asked
    // after each slice. Stop when the receiver asked to stop.
    WorkAnswer Pause(std::chrono::milliseconds duration, HttpProgress *progress = nullptr);

    // Closes every connection the client keeps. Between requests only.
    void Disconnect();
    // Last status line received; unchanged by a request that got none.
    int ResponseCode() const { return m_responseCode; }

    void setAntiFreezeActive(bool active) { m_antiFreeze = active; }
    bool antiFreezeActive() const { return m_antiFreeze; }
    // One pass of the caller's event loop. Without one, Qt's own loop is
    // pumped when an application object exists.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }
    // A transfer that receives nothing for this long fails as a network error.
    void setStallTimeout(std::chrono::seconds timeout) { m_stallTimeout = timeout; }

    static constexpr int MaxPiece = 32768;
    // libcurl's largest read: a fast stream is drained in few reads, so the
    // kernel lets the socket's window grow past what the window's paints hold
    // back (with 128 KiB reads it stayed near 0.5 MiB on loopback and dropped
    // packets while a paint ran).
    static constexpr long ReadBufferBytes = 512 * 1024;
    static constexpr int SliceMs = 250;
    static constexpr int PauseSliceMs = 100; // a Stop ends a pause sooner than a wait
    static constexpr long ConnectTimeoutMs = 120000;
    static constexpr int RedirectMaximum = 15;

private:
    // What one hop of a request is doing (HttpExchange.h).
    struct Exchange;
    // One connection of GetAlongside (HttpLanes.cpp).
    struct Lane;
    enum class Method
    {
        Get,
        Head
    };
    // Which final responses hand their body to the caller.
    enum class Takes
    {
        AnyFinal,    // 2xx, and the redirect that ends the chain
        SuccessOnly, // 2xx
    };
    struct Hop
    {
        HttpResult result;
        QByteArray next; // the redirect to follow; empty when done
    };

    HttpResult request(Method method, const HttpRequest &request, Takes takes);
    Hop exchange(Method method, const QByteArray &url, const HttpRequest &request, Takes takes,
                 int redirects);
    Hop outcome(CURL *easy, const Exchange &state);
    bool configure(CURL *easy, Method method, const QByteArray &url, const HttpRequest &request,
                   Exchange &state);
    void runTransfer(Exchange &state);
    bool startLane(Lane &lane, int redirects);
    void pumpEvents();
    bool resetConnections();

    // libcurl's global state lives as long as the client; declared first, so it
    // is set up before the handles and torn down after them.
    struct CurlGlobal
    {
        CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
        ~CurlGlobal() { curl_global_cleanup(); }
        CurlGlobal(const CurlGlobal &) = delete;
        CurlGlobal &operator=(const CurlGlobal &) = delete;
    } m_global;
    CurlMulti m_multi;
    CurlEasy m_easy;
    std::function<void()> m_pump;
    std::chrono::seconds m_stallTimeout{60};
    QByteArray m_contentType; // of the last final response
    int m_responseCode = 0;
    bool m_antiFreeze = false;
    bool m_busy = false; // a request is under way: a second one is refused
};
