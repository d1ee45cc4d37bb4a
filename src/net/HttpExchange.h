#pragma once

#include "net/HttpClient.h"
#include "net/ResponseHead.h"

#include <exception>

// One hop of a request: the response head as it arrives, where its body goes,
// what was received and reported, and how the transfer ended.
struct HttpClient::Exchange
{
    enum class Target
    {
        Caller, // the request's sink
        Aside,  // a redirect's or an error status's body
    };

    HttpClient *client = nullptr;
    Method method = Method::Get;
    const HttpRequest *request = nullptr;
    Takes takes = Takes::AnyFinal;
    int redirects = 0;
    ResponseHead head;
    Target target = Target::Aside;
    bool follow = false;
    bool workBegun = false;
    qint64 received = 0;
    qint64 unreported = 0; // received since the last work step
    bool sinkFailed = false;
    bool mismatch = false; // the answer does not continue the range asked
    bool stopped = false;  // the receiver answered Stop
    CURLcode result = CURLE_OK;
    std::exception_ptr callbackError;
    CurlSlist headers;
    char errorText[CURL_ERROR_SIZE] = {};

    HttpProgress *progress() const { return request->progress; }
    HttpBodySink *sink() const { return request->sink; }
    QString curlError() const
    {
        return QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(result));
    }

    void onHeaderLine(const char *data, size_t size);
    size_t onBody(const char *data, size_t size);
    // The work step for what was received since the last one, then the
    // anti-freeze pass; false when the receiver answered Stop.
    bool reportWork();
    // What a receiver, sink or event pump throws ends the transfer and goes
    // to the caller once the transfer is taken apart.
    template <typename Call> void guarded(Call &&call)
    {
        try {
            call();
        } catch (...) {
            callbackError = std::current_exception();
        }
    }

    static size_t headerCallback(char *data, size_t size, size_t count, void *user);
    static size_t writeCallback(char *data, size_t size, size_t count, void *user);
};
