#pragma once

#include "CannedVideos.h"
#include "RequestCounter.h"
#include "ServiceReply.h"
#include "ServiceRequest.h"

#include <QString>

#include <memory>

// Turns a request into the answer: the service's pages, feed and streams on
// their hosts, plus generated bodies and fault modes for tests.
class ServiceRoutes
{
public:
    static constexpr const char *WebHost = "www.youtube.com";
    static constexpr const char *DataHost = "gdata.youtube.com";
    static constexpr const char *DefaultStreamHost = "streams.sample.test";

    ServiceRoutes(QString mediaDir, QByteArray streamHost, QList<CannedVideo> videos);

    // Safe on several threads at once.
    ServiceReply handle(const ServiceRequest &request);

    // The watch page's stream-map value for a video, as the page carries it;
    // requestHost names the stream host when the routes were given none.
    QByteArray streamMap(const QByteArray &videoId, const QByteArray &requestHost) const;

private:
    ServiceReply route(const ServiceRequest &request, qint64 version) const;
    ServiceReply watchPage(const ServiceRequest &request) const;
    ServiceReply feed(const QByteArray &videoId) const;
    ServiceReply fallbackPage(const ServiceRequest &request) const;
    ServiceReply stream(const ServiceRequest &request, qint64 version) const;
    ServiceReply redirect(const ServiceRequest &request) const;
    static ServiceReply bulk(const ServiceRequest &request, qint64 version);
    static void applyFaults(const ServiceRequest &request, ServiceReply &reply);

    QString m_mediaDir;
    QByteArray m_streamHost;
    QList<CannedVideo> m_videos;
    RequestCounter m_counter; // the flaky and changing resources' GETs so far, answers being sent
    std::shared_ptr<RatePacer> m_totalPacer = std::make_shared<RatePacer>(); // totalrate=N
};
