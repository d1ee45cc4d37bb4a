#include "RawHttpConnection.h"
#include "SampleService.h"
#include "ServiceReply.h"

#include <QFile>

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using Response = RawHttpConnection::Response;

Response exchange(const SampleService &service, const QByteArray &method, const QByteArray &target,
                  const QList<QByteArray> &headerLines = {})
{
    return RawHttpConnection::exchange(service.port(), method, target, headerLines);
}

bool isWholeBulk(const Response &response, qint64 size)
{
    return response.status == 200 && response.complete && response.body == bulkBytes(0, size);
}

TEST(SampleServiceFlakyTest, TheFirstGetsEndEarlyThenTheResourceAnswers)
{
    const qint64 end = qint64(1) << 30; // the canned 1 GiB stream
    const struct
    {
        const char *target;
        QList<QByteArray> headers;
        int failing;       // GETs that fail
        int status;        // of a failing GET
        qint64 from, size; // its body, bulkBytes(from, size); size -1: not checked
        const char *retryAfter;
        int healthyStatus;
        qint64 healthyFrom, healthySize;
    } cases[] = {
        // clang-format off
        {"/bulk/1000?flaky=2", {}, 2, 200, 0, 500, nullptr, 200, 0, 1000},
        {"/bulk/1001?flaky=1", {}, 1, 200, 0, 500, nullptr, 200, 0, 1001},
        {"/bulk/1000?flaky=1&flakyat=10", {}, 1, 200, 0, 10, nullptr, 200, 0, 1000},
        {"/bulk/1000?flaky=3&flakymode=reset&flakyat=300", {}, 3, 200, 0, 300, nullptr,
         200, 0, 1000},
        {"/bulk/1000?flaky=1&flakymode=status", {}, 1, 503, 0, -1, nullptr, 200, 0, 1000},
        {"/bulk/1000?flaky=2&flakymode=status&flakystatus=429&retryafter=7", {}, 2, 429, 0, -1,
         "7", 200, 0, 1000},
        {"/bulk/1000?flaky=1&retryafter=3", {}, 1, 200, 0, 500, "3", 200, 0, 1000},
        {"/bulk/1000?flaky=1&mode=chunked", {}, 1, 200, 0, 500, nullptr, 200, 0, 1000},
        // Half of what the answer sends: of the range, not of the resource.
        {"/bulk/1000?flaky=1", {"Range: bytes=600-"}, 1, 206, 600, 200, nullptr, 206, 600, 400},
        {"/bulk/1000?flaky=0", {}, 0, 0, 0, 0, nullptr, 200, 0, 1000},
        {"/videos/vidlark0008/34.flv?flaky=1", {"Range: bytes=1073741000-"}, 1, 206,
         end - 824, 412, nullptr, 206, end - 824, 824},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target);
        SampleService service; // each one counts from zero
        service.start();
        for (int i = 0; i < c.failing; ++i) {
            SCOPED_TRACE(i);
            const Response response = exchange(service, "GET", c.target, c.headers);
            EXPECT_EQ(response.status, c.status);
            if (c.size >= 0) {
                EXPECT_FALSE(response.complete);
                EXPECT_EQ(response.body, bulkBytes(c.from, c.size));
            }
            EXPECT_EQ(response.header("Retry-After"),
                      c.retryAfter ? std::optional<QByteArray>(c.retryAfter) : std::nullopt);
        }
        for (int i = 0; i < 2; ++i) {
            const Response response = exchange(service, "GET", c.target, c.headers);
            EXPECT_EQ(response.status, c.healthyStatus);
            EXPECT_TRUE(response.complete);
            EXPECT_EQ(response.body, bulkBytes(c.healthyFrom, c.healthySize));
            EXPECT_FALSE(response.header("Retry-After"));
        }
    }
}

TEST(SampleServiceFlakyTest, TheDemoStreamBreaksOffTwice)
{
    SampleService service;
    service.start();
    const QByteArray url = "http://streams.sample.test/videos/vidlark0009/34.flv"
                           "?id=vidlark0009&itag=34&expire=1300000000";
    const qint64 size = qint64(1) << 28;
    // The check before the download is answered whole.
    const Response check = exchange(service, "HEAD", url);
    EXPECT_EQ(check.status, 200);
    EXPECT_EQ(check.header("Content-Length"), QByteArray::number(size));
    // From the start, and resumed from where the first one broke off.
    const struct
    {
        qint64 from, sent;
        bool complete;
    } gets[] = {{0, size / 2, false}, {size / 2, size / 4, false}, {size - 1000, 1000, true}};
    for (const auto &get : gets) {
        SCOPED_TRACE(get.from);
        RawHttpConnection connection(service.port());
        ASSERT_TRUE(connection.sendRequest(
            "GET", url,
            {"Range: bytes=" + QByteArray::number(get.from) + '-', "Connection: close"}));
        const Response head = connection.readResponse(false, 0);
        EXPECT_EQ(head.status, 206);
        QByteArray tail;
        EXPECT_EQ(connection.discardToEnd(tail, 100), get.sent);
        EXPECT_EQ(tail, bulkBytes(get.from + get.sent - 100, 100));
    }
    // The other stream is not flaky.
    EXPECT_TRUE(exchange(service, "GET", "/videos/vidlark0009/5.flv").complete);
}

TEST(SampleServiceFlakyTest, GetsOfTheSameResourceShareOneCount)
{
    SampleService service;
    service.start();
    // HEADs are not counted and not cut.
    EXPECT_EQ(exchange(service, "HEAD", "/bulk/1000?flaky=1").status, 200);
    EXPECT_EQ(exchange(service, "HEAD", "/bulk/1000?flaky=1").status, 200);
    EXPECT_EQ(exchange(service, "GET", "/bulk/1000?flaky=1").body, bulkBytes(0, 500));
    EXPECT_TRUE(isWholeBulk(exchange(service, "GET", "/bulk/1000?flaky=1"), 1000));

    // The keys that say how it fails leave the resource the same.
    EXPECT_EQ(exchange(service, "GET", "/bulk/2000?flaky=2&flakyat=10").body, bulkBytes(0, 10));
    EXPECT_EQ(exchange(service, "GET", "/bulk/2000?flakyat=20&flaky=2&retryafter=1").body,
              bulkBytes(0, 20));
    EXPECT_TRUE(isWholeBulk(exchange(service, "GET", "/bulk/2000?flaky=2&flakyat=30"), 2000));

    // Any other key makes another resource; the host name does not.
    EXPECT_FALSE(exchange(service, "GET", "/bulk/3000?flaky=1").complete);
    EXPECT_FALSE(exchange(service, "GET", "/bulk/3000?flaky=1&validator=etag").complete);
    EXPECT_TRUE(isWholeBulk(
        exchange(service, "GET", "http://streams.sample.test/bulk/3000?flaky=1"), 3000));

    // A redirect hop is not the resource; its end is.
    EXPECT_EQ(exchange(service, "GET", "/redirect/1/bulk/4000?flaky=1").status, 302);
    EXPECT_FALSE(exchange(service, "GET", "/redirect/0/bulk/4000?flaky=1").complete);
    EXPECT_TRUE(isWholeBulk(exchange(service, "GET", "/bulk/4000?flaky=1"), 4000));

    // Another service starts its own count.
    SampleService other;
    other.start();
    EXPECT_FALSE(exchange(other, "GET", "/bulk/1000?flaky=1").complete);
}

TEST(SampleServiceFlakyTest, ConcurrentGetsCountExactly)
{
    SampleService service;
    service.start();
    constexpr int Gets = 8;
    constexpr int Failing = 3;
    std::vector<int> complete(Gets, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < Gets; ++i) {
        threads.emplace_back([&service, &complete, i] {
            const Response response = exchange(service, "GET", "/bulk/100000?flaky=3");
            complete[size_t(i)] = response.complete && response.body == bulkBytes(0, 100000);
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(std::count(complete.begin(), complete.end(), 0), Failing);
    EXPECT_EQ(std::count(complete.begin(), complete.end(), 1), Gets - Failing);
}

TEST(SampleServiceFlakyTest, AStallingGetSendsNothingAfterItsPart)
{
    SampleService service;
    service.start();
    RawHttpConnection connection(service.port());
    ASSERT_TRUE(connection.sendRequest("GET", "/bulk/1000?flaky=1&flakymode=stall&flakyat=100"));
    const Response response = connection.readResponse(false, 100);
    EXPECT_EQ(response.header("Content-Length"), QByteArray("1000"));
    EXPECT_EQ(response.body, bulkBytes(0, 100));
    // Whatever the service sent before it stops arrives before the end.
    service.stop();
    EXPECT_EQ(connection.readToEnd(), QByteArray());
}

TEST(SampleServiceFlakyTest, AChangingResourceHasANewVersionAfterEveryGet)
{
    SampleService service;
    service.start();
    const QByteArray target = "/bulk/1000?changing=1";
    const struct
    {
        const char *method;
        QList<QByteArray> headers;
        int status;
        int version; // of the bytes and validators answered
        qint64 from, size;
        const char *lastModified;
    } steps[] = {
        // clang-format off
        {"HEAD", {}, 200, 0, 0, 0, "Tue, 15 Mar 2011 08:00:00 GMT"},
        {"GET", {}, 200, 0, 0, 1000, "Tue, 15 Mar 2011 08:00:00 GMT"},
        {"HEAD", {}, 200, 1, 0, 0, "Wed, 16 Mar 2011 08:00:00 GMT"},
        // Resuming the version held: it has changed, so the whole new one comes.
        {"GET", {"Range: bytes=500-", "If-Range: \"bulk-1000-v0\""}, 200, 1, 0, 1000,
         "Wed, 16 Mar 2011 08:00:00 GMT"},
        {"GET", {"Range: bytes=500-", "If-Range: \"bulk-1000-v2\""}, 206, 2, 500, 500,
         "Thu, 17 Mar 2011 08:00:00 GMT"},
        {"GET", {"Range: bytes=500-", "If-Range: Fri, 18 Mar 2011 08:00:00 GMT"}, 206, 3, 500, 500,
         "Fri, 18 Mar 2011 08:00:00 GMT"},
        // Without If-Range the range is served from whatever version is there.
        {"GET", {"Range: bytes=500-"}, 206, 4, 500, 500, "Sat, 19 Mar 2011 08:00:00 GMT"},
        {"GET", {}, 200, 5, 0, 1000, "Sun, 20 Mar 2011 08:00:00 GMT"},
        // clang-format on
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(testing::Message() << step.method << " version " << step.version);
        const Response response = exchange(service, step.method, target, step.headers);
        EXPECT_EQ(response.status, step.status);
        EXPECT_EQ(response.header("ETag"),
                  "\"bulk-1000-v" + QByteArray::number(step.version) + '"');
        EXPECT_EQ(response.header("Last-Modified"), QByteArray(step.lastModified));
        EXPECT_EQ(response.body, bulkBytes(step.from, step.size, step.version));
    }
    // Without changing=1 the same body stays at version 0.
    for (int i = 0; i < 2; ++i) {
        const Response response = exchange(service, "GET", "/bulk/1000");
        EXPECT_EQ(response.header("ETag"), QByteArray("\"bulk-1000-v0\""));
        EXPECT_TRUE(isWholeBulk(response, 1000));
    }
    // A media file keeps its bytes; its validators move on.
    QFile file(SampleService::defaultMediaDir() + QStringLiteral("/sample.mp4"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray media = file.readAll();
    for (const char *etag : {"\"vidlark0001-18-v0\"", "\"vidlark0001-18-v1\""}) {
        const Response response = exchange(service, "GET", "/videos/vidlark0001/18.mp4?changing=1");
        EXPECT_EQ(response.header("ETag"), QByteArray(etag));
        EXPECT_TRUE(response.body == media);
    }
}

TEST(SampleServiceFlakyTest, TheRequestLogHoldsEveryRequest)
{
    SampleService service;
    service.start();
    const struct
    {
        const char *method;
        const char *target;
        const char *range; // the Range header sent, or nullptr
    } requests[] = {
        {"HEAD", "/bulk/100?flaky=1", "bytes=10-"},
        {"GET", "/bulk/100?flaky=1", "bytes=10-"},
        {"GET", "/bulk/100?flaky=1", nullptr},
        {"GET", "/bulk/100?changing=1", "bytes=500-"},
        {"GET", "/bulk/100?length=1000", nullptr},
        {"GET", "/redirect/1/bulk/100?flaky=1&flakymode=status", nullptr},
    };
    for (const auto &r : requests) {
        exchange(service, r.method, r.target,
                 r.range ? QList<QByteArray>{QByteArray("Range: ") + r.range}
                         : QList<QByteArray>{});
    }
    const std::vector<ServiceRequest> log = service.requests();
    ASSERT_EQ(log.size(), std::size(requests));
    for (size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].method, requests[i].method);
        EXPECT_EQ(log[i].target, requests[i].target);
        EXPECT_EQ(log[i].header("Range"), QByteArray(requests[i].range));
        EXPECT_EQ(log[i].header("Connection"), QByteArray("close"));
    }
}

} // namespace
