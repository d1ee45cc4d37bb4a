#pragma once

#include "net/HttpResult.h"

#include <QString>

// The part of the shared HTTP client the lookup uses. Settings persist on the
// client from request to request and from job to job; a failed request still
// records any status it received.
class ServiceClient
{
public:
    virtual ~ServiceClient() = default;

    virtual void setAllowCookies(bool allow) = 0;
    virtual void setHandleRedirects(bool handle) = 0;
    virtual void setReferer(const QString &value) = 0;
    virtual void setUserAgent(const QString &value) = 0;
    virtual void setAccept(const QString &value) = 0;
    virtual void setAcceptCharSet(const QString &value) = 0;
    virtual void setConnection(const QString &value) = 0;
    virtual void setContentType(const QString &value) = 0;

    // Body as text, decoded in the declared character set (byte for byte when
    // none). A body longer than maxBytes fails the request.
    virtual HttpText Get(const QString &url, qint64 maxBytes) = 0;
    virtual HttpBytes GetBytes(const QString &url, qint64 maxBytes) = 0;
    virtual HttpResult Head(const QString &url) = 0;
    virtual void Disconnect() = 0;
    // Status of the last response received, also after a failed request.
    virtual int ResponseCode() const = 0;
};
