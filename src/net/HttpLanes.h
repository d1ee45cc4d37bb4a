#pragma once

#include "net/HttpRequest.h"
#include "net/HttpResult.h"

#include <QString>

#include <optional>

// The further requests of one download over several connections, which the
// caller hands out while the client runs them beside the first request
// (HttpClient::GetAlongside).
class HttpLanes
{
public:
    virtual ~HttpLanes() = default;
    // A request for an idle connection, of the URL the first request's answer
    // came from (it carries the first one's headers); nothing when none is
    // wanted now (the client asks again once a request ends).
    virtual std::optional<HttpRequest> nextRequest(const QString &url) = 0;
    // How each request ended, the first one's included.
    virtual void requestEnds(const HttpRequest &request, const HttpResult &result) = 0;
};
