#pragma once

#include "steps/PulseStop.h"
#include "steps/ServiceClient.h"

class HttpClient;

// The lookup's view of the program's one HTTP client: the settings it changes
// are the client's own, so they persist for the transfer and later jobs. Its
// requests end when the job winds down.
class HttpServiceClient final : public ServiceClient
{
public:
    HttpServiceClient(HttpClient &client, const JobPulse &pulse);

    void setAllowCookies(bool allow) override;
    void setHandleRedirects(bool handle) override;
    void setReferer(const QString &value) override;
    void setUserAgent(const QString &value) override;
    void setAccept(const QString &value) override;
    void setAcceptCharSet(const QString &value) override;
    void setConnection(const QString &value) override;
    void setContentType(const QString &value) override;

    HttpText Get(const QString &url, qint64 maxBytes) override;
    HttpBytes GetBytes(const QString &url, qint64 maxBytes) override;
    HttpResult Head(const QString &url) override;
    void Disconnect() override;
    int ResponseCode() const override;

private:
    HttpClient &m_client;
    PulseStop m_stop;
};
