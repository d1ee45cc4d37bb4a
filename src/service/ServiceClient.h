#pragma once

#include <QByteArray>
#include <QString>

// The part of the shared HTTP client the lookup uses. Settings persist on the
// client from request to request and from job to job; each request throws
// (a std::exception) when it fails, after recording any status it received.
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

    // Body as text, decoded in the declared character set (byte for byte when none).
    virtual QString Get(const QString &url) = 0;
    virtual QByteArray GetBytes(const QString &url) = 0;
    virtual void Head(const QString &url) = 0;
    virtual void Disconnect() = 0;
    // Status of the last response received, also after a failed request.
    virtual int ResponseCode() const = 0;
};
