#include "ServiceRoutes.h"

#include "CannedVideos.h"
#include "FlakyFault.h"
#include "Releases.h"
#include "ResourceAnswer.h"
#include "WebPages.h"

#include <QFile>

#include <algorithm>

namespace {

const QByteArray Amp = "\\u0026"; // the stream map's escaped "&", six characters
const char Padding = ' ';         // blank between elements, harmless to any reader

QByteArray htmlType()
{
    return "text/html; charset=utf-8";
}

QByteArray contentTypeOf(const QByteArray &fileName)
{
    if (fileName.endsWith(".mp4"))
        return "video/mp4";
    if (fileName.endsWith(".flv"))
        return "video/x-flv";
    return "application/octet-stream";
}

QByteArray extensionOf(const QByteArray &fileName)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    return dot < 0 ? QByteArray() : fileName.mid(dot);
}

// Encoded twice with "/" left alone, then written with the "\/" escape, as
// the service's pages carry their stream URLs.
QByteArray pageEncodedUrl(const QByteArray &url)
{
    QByteArray once = url.toPercentEncoding("/");
    QByteArray twice = once.toPercentEncoding("/");
    return twice.replace("/", "\\/");
}

} // namespace

ServiceRoutes::ServiceRoutes(QString mediaDir, QByteArray streamHost, QList<CannedVideo> videos)
    : m_mediaDir(std::move(mediaDir))
    , m_streamHost(std::move(streamHost))
    , m_videos(std::move(videos))
{}

ServiceReply ServiceRoutes::handle(const ServiceRequest &request)
{
    ServiceRequest effective = request;
    if (request.path.startsWith("/redirect/")) {
        const QByteArray rest = request.path.mid(int(sizeof("/redirect/")) - 1);
        const qsizetype slash = rest.indexOf('/');
        bool ok = false;
        const int hops = rest.left(slash < 0 ? rest.size() : slash).toInt(&ok);
        if (!ok || hops < 0)
            return ServiceReply::statusPage(404);
        if (hops > 0)
            return redirect(request);
        effective.path = slash < 0 ? QByteArray("/") : rest.mid(slash);
    }
    const QByteArray key = RequestCounter::resourceKey(effective);
    const bool get = request.method == "GET";
    // A changing resource is answered from its current version, which every
    // GET then moves on: a HEAD shows what the next GET gets.
    qint64 version = 0;
    if (effective.queryValue("changing") == "1") {
        const QByteArray versionKey = "version " + key;
        version = get ? m_counter.take(versionKey) : m_counter.peek(versionKey);
    }
    // A server that gives ranges to one connection at a time: while another
    // answer of the resource is going out, a Range is not heard.
    std::shared_ptr<void> sending;
    if (effective.queryValue("solo") == "1") {
        const QByteArray sendingKey = "sending " + key;
        if (m_counter.take(sendingKey) > 0)
            effective.headers.removeIf([](const auto &header) {
                return header.first.compare("Range", Qt::CaseInsensitive) == 0;
            });
        sending = std::shared_ptr<void>(nullptr,
                                        [this, sendingKey](void *) { m_counter.give(sendingKey); });
    }
    ServiceReply reply = route(effective, version);
    reply.whileSent = sending;
    if (!reply.resource.isEmpty() && reply.status == 200)
        ResourceAnswer::apply(effective, reply.resource, version, reply);
    const int failingGets = FlakyFault::failingGets(effective, reply.flakyGets);
    if (get && failingGets > 0 && m_counter.take("flaky " + key) < failingGets)
        FlakyFault::apply(effective, reply);
    applyFaults(request, reply);
    if (reply.totalRate > 0)
        reply.totalPacer = m_totalPacer;
    return reply;
}

ServiceReply ServiceRoutes::route(const ServiceRequest &request, qint64 version) const
{
    const QByteArray host = request.hostName();
    const QByteArray &path = request.path;
    if (path.startsWith("/bulk/"))
        return bulk(request, version);
    if (Releases::serves(path))
        return Releases::answer(path);
    if (path.startsWith("/status/")) {
        bool ok = false;
        const int status = path.mid(8).toInt(&ok);
        return ok && status >= 100 && status <= 999 ? ServiceReply::statusPage(status)
                                                    : ServiceReply::statusPage(404);
    }

    ServiceRequest named;
    named.host = m_streamHost;
    const bool web = host == WebHost;
    const bool data = host == DataHost;
    const bool streams = !m_streamHost.isEmpty() && host == named.hostName();
    const bool media = host == WebPages::Host;
    const bool any = !web && !data && !streams && !media; // a plain request to the service itself
    if ((web || any) && path == "/watch")
        return watchPage(request);
    if ((web || any) && path == "/get_video_info")
        return fallbackPage(request);
    if ((data || any) && path.startsWith("/feeds/api/videos/"))
        return feed(path.mid(18));
    if ((streams || any) && path.startsWith("/videos/"))
        return stream(request, version);
    if ((media || any) && WebPages::serves(path))
        return WebPages::answer(m_mediaDir, path, request.host, request.query);
    return ServiceReply::statusPage(404);
}

QByteArray ServiceRoutes::streamMap(const QByteArray &videoId, const QByteArray &requestHost) const
{
    const QByteArray streamHost = m_streamHost.isEmpty() ? requestHost : m_streamHost;
    const CannedVideo *video = findCannedVideo(m_videos, videoId);
    if (!video)
        return {};
    QList<QByteArray> entries;
    for (const CannedStream &stream : video->streams) {
        const QByteArray itag = QByteArray::number(stream.itag);
        const QByteArray url = "http://" + streamHost + "/videos/" + videoId + "/" + itag +
                               extensionOf(stream.mediaFile) + "?id=" + videoId + "&itag=" + itag +
                               "&expire=1300000000";
        QByteArray entry = "url=" + pageEncodedUrl(url);
        if (!stream.signature.isEmpty())
            entry += Amp + "sig=" + stream.signature;
        entry += Amp + "type=" + contentTypeOf(stream.mediaFile).toPercentEncoding() + Amp +
                 "itag=" + itag;
        entries.append(entry);
    }
    return entries.join(',');
}

ServiceReply ServiceRoutes::watchPage(const ServiceRequest &request) const
{
    const QByteArray id = request.queryValue("v").value_or(QByteArray());
    const CannedVideo *video = findCannedVideo(m_videos, id);
    if (!video)
        return ServiceReply::statusPage(404);
    ServiceReply reply;
    reply.headers = {{"Content-Type", htmlType()},
                     {"Set-Cookie", "VISITOR_INFO1_LIVE=sample; path=/; domain=.youtube.com"}};
    reply.body = ReplyBody("<!DOCTYPE html>\n<html><head><title>" + video->pageTitle.toUtf8() +
                           " - YouTube</title></head><body>\n");
    reply.body.appendFiller(video->watchPagePadding, Padding);
    reply.body.append(
        "<script>\nvar swfConfig = {\"url\": "
        "\"http:\\/\\/s.ytimg.com\\/yt\\/swf\\/watch.swf\", \"args\": {\"video_id\": \"" +
        id + "\", \"url_encoded_fmt_stream_map\": \"" + streamMap(id, request.host) +
        "\", \"length_seconds\": \"3\"}};\n</script>\n</body></html>\n");
    return reply;
}

ServiceReply ServiceRoutes::feed(const QByteArray &videoId) const
{
    const CannedVideo *video = findCannedVideo(m_videos, videoId);
    if (!video)
        return ServiceReply::statusPage(404);
    ServiceReply reply;
    // A cookie for the whole domain: a client that kept cookies would send it
    // with the fallback page, asked on the same connection.
    reply.headers = {{"Content-Type", "application/atom+xml; charset=UTF-8"},
                     {"Set-Cookie", "PREF=f1=sample; path=/; domain=.youtube.com"}};
    reply.body = ReplyBody(
        "<?xml version='1.0' encoding='UTF-8'?><entry xmlns='http://www.w3.org/2005/Atom'>"
        "<id>http://gdata.youtube.com/feeds/api/videos/" +
        videoId + "</id>");
    reply.body.appendFiller(video->feedPadding, Padding);
    QByteArray rest;
    if (video->feedTitle)
        rest += "<title type='text'>" + video->feedTitle->toUtf8() + "</title>";
    reply.body.append(rest + "<author><name>sample</name></author></entry>");
    return reply;
}

ServiceReply ServiceRoutes::fallbackPage(const ServiceRequest &request) const
{
    const CannedVideo *video =
        findCannedVideo(m_videos, request.queryValue("video_id").value_or(""));
    if (!video)
        return ServiceReply::statusPage(404);
    ServiceReply reply;
    // No charset: the program reads the page byte for byte.
    reply.headers = {{"Content-Type", "text/html"}};
    reply.body = ReplyBody("<html><head>");
    reply.body.appendFiller(video->fallbackPadding, Padding);
    reply.body.append("<title>YouTube - " + video->pageTitle.toUtf8() +
                      "</title></head><body>status=ok</body></html>");
    return reply;
}

ServiceReply ServiceRoutes::stream(const ServiceRequest &request, qint64 version) const
{
    // /videos/ID/ITAG.ext
    const QList<QByteArray> parts = request.path.split('/');
    if (parts.size() != 4)
        return ServiceReply::statusPage(404);
    const CannedVideo *video = findCannedVideo(m_videos, parts[2]);
    const int itag = parts[3].left(parts[3].indexOf('.')).toInt();
    if (!video)
        return ServiceReply::statusPage(404);
    for (const CannedStream &stream : video->streams) {
        if (stream.itag != itag)
            continue;
        if (stream.checkStatus != 200)
            return ServiceReply::statusPage(stream.checkStatus);
        if (!stream.signature.isEmpty() &&
            request.queryValue("signature").value_or(QByteArray()) != stream.signature)
            return ServiceReply::statusPage(403);
        ServiceReply reply;
        reply.headers = {{"Content-Type", contentTypeOf(stream.mediaFile)}};
        reply.resource = video->id + '-' + QByteArray::number(itag);
        reply.flakyGets = stream.flakyGets;
        if (stream.generatedBytes >= 0) {
            reply.body = ReplyBody::generated(stream.generatedBytes, version);
            return reply;
        }
        // A media file keeps its bytes through versions; only its validators change.
        QFile file(m_mediaDir + QLatin1Char('/') + QString::fromLatin1(stream.mediaFile));
        if (!file.open(QIODevice::ReadOnly))
            return ServiceReply::statusPage(500);
        reply.body = ReplyBody(file.readAll());
        return reply;
    }
    return ServiceReply::statusPage(404);
}

ServiceReply ServiceRoutes::redirect(const ServiceRequest &request) const
{
    // /redirect/N/rest -> /redirect/N-1/rest on the same host
    const QByteArray rest = request.path.mid(10);
    const qsizetype slash = rest.indexOf('/');
    const int hops = rest.left(slash < 0 ? rest.size() : slash).toInt();
    QByteArray location = "http://" + request.host + "/redirect/" + QByteArray::number(hops - 1) +
                          (slash < 0 ? QByteArray() : rest.mid(slash));
    if (!request.query.isEmpty())
        location += "?" + request.query;
    ServiceReply reply = ServiceReply::statusPage(302);
    reply.headers.append(qMakePair(QByteArray("Location"), location));
    return reply;
}

ServiceReply ServiceRoutes::bulk(const ServiceRequest &request, qint64 version)
{
    bool ok = false;
    const qint64 length = request.path.mid(6).toLongLong(&ok);
    if (!ok || length < 0)
        return ServiceReply::statusPage(404);
    ServiceReply reply;
    reply.headers = {{"Content-Type", "application/octet-stream"}};
    reply.resource = "bulk-" + QByteArray::number(length);
    reply.body = ReplyBody::generated(length, version);
    return reply;
}

void ServiceRoutes::applyFaults(const ServiceRequest &request, ServiceReply &reply)
{
    const auto number = [&](QByteArrayView key, qint64 fallback) {
        const auto value = request.queryValue(key);
        bool ok = false;
        const qint64 parsed = value ? value->toLongLong(&ok) : 0;
        return ok ? parsed : fallback;
    };
    if (const auto status = number("status", -1); status >= 100 && status <= 999)
        reply.status = int(status);
    if (const auto location = request.queryValue("location"))
        reply.headers.append(qMakePair(QByteArray("Location"), *location));
    const QByteArray mode = request.queryValue("mode").value_or(QByteArray());
    if (mode == "chunked")
        reply.framing = BodyFraming::Chunked;
    else if (mode == "close")
        reply.framing = BodyFraming::Close;
    reply.cutAfter = number("cut", reply.cutAfter);
    reply.resetAfter = number("reset", reply.resetAfter);
    reply.stallAfter = number("stall", reply.stallAfter);
    reply.resetEvery = number("resetevery", reply.resetEvery);
    reply.rate = number("rate", reply.rate);
    reply.totalRate = number("totalrate", reply.totalRate);
    reply.latencyMs = int(std::clamp<qint64>(number("latency", 0), 0, 60000));
    if (const auto length = number("length", -1); length >= 0)
        reply.announcedLength = length;
    if (const auto type = request.queryValue("type")) {
        reply.headers.removeIf([](const auto &header) { return header.first == "Content-Type"; });
        reply.headers.append(qMakePair(QByteArray("Content-Type"), *type));
    }
    if (request.queryValue("cookie"))
        reply.headers.append(
            qMakePair(QByteArray("Set-Cookie"), QByteArray("session=sample-session; path=/")));
}
