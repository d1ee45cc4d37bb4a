#pragma once

#include "NoProxyEnvironment.h"
#include "SampleService.h"
#include "ServiceReply.h"
#include "net/HttpClient.h"

#include <gtest/gtest.h>

// The client against the sample service, and the header lines of what it sent.
inline QStringList headerLines(const ServiceRequest &request)
{
    QStringList lines;
    for (const auto &[name, value] : request.headers)
        lines.append(QString::fromLatin1(name + ": " + value));
    return lines;
}

class HttpClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearProxyEnvironment();
        service.start();
    }
    QString url(const char *pathAndQuery) const
    {
        return service.baseUrl() + QString::fromLatin1(pathAndQuery);
    }
    ServiceRequest lastRequest() const
    {
        const auto requests = service.requests();
        EXPECT_FALSE(requests.empty());
        return requests.empty() ? ServiceRequest() : requests.back();
    }

    SampleService service;
    HttpClient client;
};
