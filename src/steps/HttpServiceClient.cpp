#include "steps/HttpServiceClient.h"

#include "net/HttpClient.h"

HttpServiceClient::HttpServiceClient(HttpClient &client, const JobPulse &pulse)
    : m_client(client)
    , m_stop(pulse)
{}

void HttpServiceClient::setAllowCookies(bool allow)
{
    m_client.AllowCookies = allow;
}

void HttpServiceClient::setHandleRedirects(bool handle)
{
    m_client.HandleRedirects = handle;
}

void HttpServiceClient::setReferer(const QString &value)
{
    m_client.Request.Referer = value;
}

void HttpServiceClient::setUserAgent(const QString &value)
{
    m_client.Request.UserAgent = value;
}

void HttpServiceClient::setAccept(const QString &value)
{
    m_client.Request.Accept = value;
}

void HttpServiceClient::setAcceptCharSet(const QString &value)
{
    m_client.Request.AcceptCharSet = value;
}

void HttpServiceClient::setConnection(const QString &value)
{
    m_client.Request.Connection = value;
}

void HttpServiceClient::setContentType(const QString &value)
{
    m_client.Request.ContentType = value;
}

HttpText HttpServiceClient::Get(const QString &url, qint64 maxBytes)
{
    return m_client.Get(url, maxBytes, &m_stop);
}

HttpBytes HttpServiceClient::GetBytes(const QString &url, qint64 maxBytes)
{
    return m_client.GetBytes(url, maxBytes, &m_stop);
}

HttpResult HttpServiceClient::Head(const QString &url)
{
    return m_client.Head(url, &m_stop);
}

void HttpServiceClient::Disconnect()
{
    m_client.Disconnect();
}

int HttpServiceClient::ResponseCode() const
{
    return m_client.ResponseCode();
}
