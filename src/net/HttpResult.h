#pragma once

#include <QByteArray>
#include <QString>

// How a request went wrong; the caller decides what that means for it.
enum class HttpFailure
{
    None,
    Refused,  // not an http or https URL (also as a redirect's target), or a request under way
    Network,  // no usable response: name, connection, time-out, a reset before the head
    Status,   // an error status, or a redirect that was not followed; its body was read aside
    Cut,      // the body ended before it was whole
    Stopped,  // the listener asked to stop where the body cannot count as received
    Storage,  // the sink refused the body
    Mismatch, // a 206 that does not continue the range asked, or one nobody asked for
    TooLarge, // the body is longer than the caller takes
};

// The outcome of one request, redirects included.
struct HttpResult
{
    HttpFailure failure = HttpFailure::None;
    int status = 0;         // of the last response; 0 when none arrived
    qint64 received = 0;    // body bytes of the last response
    bool stopped = false;   // ended early on a stop, yet counts as received
    qint64 retryAfter = -1; // seconds an error status asked the client to wait; -1: none
    QString error;          // why it failed, in words

    bool ok() const { return failure == HttpFailure::None; }
};

struct HttpText
{
    HttpResult result;
    QString text; // decoded in the charset the response declares
};

struct HttpBytes
{
    HttpResult result;
    QByteArray bytes;
};
