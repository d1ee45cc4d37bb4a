#pragma once

#include "steps/ServiceClient.h"

#include <QMap>

#include <vector>

// A scripted client: answers by URL, records every request with the settings
// in force when it was made, and fails like the real one (an error status is
// recorded and fails the request; an unknown URL gets no response and keeps
// the old status).
class FakeServiceClient final : public ServiceClient
{
public:
    struct Settings
    {
        bool AllowCookies = true;
        bool HandleRedirects = true;
        QString Referer, UserAgent = QStringLiteral("client default"),
                         Accept = QStringLiteral("text/html, */*"), AcceptCharSet, Connection,
                         ContentType;
        bool operator==(const Settings &) const = default;
    };
    struct Request
    {
        QString method, url;
        Settings settings;
        qint64 maxBytes = 0;
    };
    struct Answer
    {
        int status = 200;
        QByteArray body;
    };

    QMap<QString, Answer> answers;
    Settings settings;
    std::vector<Request> requests;
    int disconnects = 0;
    int status = 0;

    void setAllowCookies(bool allow) override { settings.AllowCookies = allow; }
    void setHandleRedirects(bool handle) override { settings.HandleRedirects = handle; }
    void setReferer(const QString &value) override { settings.Referer = value; }
    void setUserAgent(const QString &value) override { settings.UserAgent = value; }
    void setAccept(const QString &value) override { settings.Accept = value; }
    void setAcceptCharSet(const QString &value) override { settings.AcceptCharSet = value; }
    void setConnection(const QString &value) override { settings.Connection = value; }
    void setContentType(const QString &value) override { settings.ContentType = value; }

    HttpText Get(const QString &url, qint64 maxBytes) override
    {
        HttpBytes bytes = answer(u"GET", url, maxBytes);
        return {bytes.result, QString::fromLatin1(bytes.bytes)};
    }
    HttpBytes GetBytes(const QString &url, qint64 maxBytes) override
    {
        return answer(u"GET", url, maxBytes);
    }
    HttpResult Head(const QString &url) override { return answer(u"HEAD", url, 0).result; }
    void Disconnect() override { ++disconnects; }
    int ResponseCode() const override { return status; }

    QStringList requestLines() const
    {
        QStringList lines;
        for (const Request &r : requests)
            lines.append(r.method + QLatin1Char(' ') + r.url);
        return lines;
    }

private:
    HttpBytes answer(const char16_t *method, const QString &url, qint64 maxBytes)
    {
        requests.push_back({QString::fromUtf16(method), url, settings, maxBytes});
        HttpBytes reply;
        const auto it = answers.constFind(url);
        if (it == answers.cend()) {
            reply.result.failure = HttpFailure::Network;
            return reply;
        }
        status = it->status;
        reply.result.status = status;
        if (status >= 300)
            reply.result.failure = HttpFailure::Status;
        else if (it->body.size() > maxBytes)
            reply.result.failure = HttpFailure::TooLarge;
        else
            reply.bytes = it->body;
        return reply;
    }
};
