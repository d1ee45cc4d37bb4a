#include "WebPages.h"

#include <QFile>
#include <QUrlQuery>

#include <algorithm>

namespace {

constexpr QByteArrayView MediaPrefix = "/media/";

QByteArray page(const QByteArray &title, const QByteArray &sources)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
           "</title></head><body>\n<h1>" + title + "</h1>\n<video controls>\n" + sources +
           "</video>\n</body></html>\n";
}

QByteArray progressivePage()
{
    // label gives yt-dlp's format id, res its height.
    QByteArray sources;
    for (const int height : WebPages::Heights) {
        const QByteArray number = QByteArray::number(height);
        sources += "<source src=\"/media/progressive-" + number +
                   ".mp4\" type=\"video/mp4\" label=\"" + number + "p\" res=\"" + number + "\">\n";
    }
    sources += "<track kind=\"subtitles\" src=\"" + QByteArray(WebPages::SubtitleTrack) +
               "\" srclang=\"en\" label=\"English\">\n";
    return page("Sample HTML5 Video", sources);
}

QByteArray hlsPage(QByteArrayView playlist)
{
    return page("Sample HLS Video", "<source src=\"/media/hls/" + playlist.toByteArray() +
                                        "\" type=\"application/x-mpegURL\">\n");
}

// "/pages/clip-N": N, else 0.
int clipOf(const QByteArray &path)
{
    constexpr QByteArrayView Prefix = "/pages/clip-";
    if (!path.startsWith(Prefix))
        return 0;
    const int n = path.mid(Prefix.size()).toInt();
    return n >= 1 && n <= WebPages::ClipCount && path.size() == Prefix.size() + 1 ? n : 0;
}

QByteArray clipPage(int n)
{
    return page("Sample Clip " + QByteArray::number(n),
                "<source src=\"/media/progressive-240.mp4\" type=\"video/mp4\">\n");
}

// The feed's links name the host it was asked from: yt-dlp follows them as they are.
QByteArray listFeed(const QByteArray &host)
{
    QByteArray items;
    for (int n = 1; n <= WebPages::ClipCount; ++n) {
        const QByteArray number = QByteArray::number(n);
        items += "<item><title>Sample Clip " + number + "</title><link>http://" + host +
                 "/pages/clip-" + number + "</link></item>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\"><channel>\n"
           "<title>Sample List</title><link>http://" +
           host + WebPages::ListFeed + "</link><description>Three clips</description>\n" + items +
           "</channel></rss>\n";
}

bool isDigits(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

QByteArray contentTypeOf(const QByteArray &file)
{
    if (file.endsWith(".mp4"))
        return "video/mp4";
    if (file.endsWith(".m4a"))
        return "audio/mp4";
    if (file.endsWith(".vtt"))
        return "text/vtt";
    if (file.endsWith(".m3u8"))
        return "application/vnd.apple.mpegurl";
    return "video/mp2t";
}

} // namespace

QByteArray WebPages::mediaFileOf(const QByteArray &path)
{
    if (!path.startsWith(MediaPrefix))
        return {};
    // Only the names the build makes, so no path leaves the media folder.
    const QByteArray file = path.mid(MediaPrefix.size());
    for (const int height : Heights) {
        if (file == "progressive-" + QByteArray::number(height) + ".mp4")
            return file;
    }
    if (file == "hls/index.m3u8" || file == "hls/gap.m3u8" || file == "audio.m4a" ||
        file == "subs-en.vtt")
        return file;
    constexpr QByteArrayView Segment = "hls/segment";
    if (file.startsWith(Segment) && file.endsWith(".ts") &&
        isDigits(QByteArrayView(file).sliced(Segment.size()).chopped(3)))
        return file;
    return {};
}

bool WebPages::serves(const QByteArray &path)
{
    return path == ProgressivePage || path == HlsPage || path == HlsGapPage ||
           path == HlsManyPage || path == ListFeed || clipOf(path) > 0 ||
           !mediaFileOf(path).isEmpty() || path.startsWith("/media/hls/many");
}

ServiceReply WebPages::manySegments(const QString &mediaDir, const QByteArray &file,
                                    const QByteArray &query)
{
    QByteArray stream;
    for (int i = 0; i < 4; ++i) {
        QFile segment(mediaDir + QStringLiteral("/hls/segment%1.ts").arg(i));
        if (!segment.open(QIODevice::ReadOnly))
            return ServiceReply::statusPage(404);
        stream += segment.readAll();
    }
    constexpr qint64 Packet = 188; // cut between MPEG-TS packets, each piece stays a stream
    bool ok = false;
    const qint64 asked = QUrlQuery(QString::fromLatin1(query))
                             .queryItemValue(QStringLiteral("segments"))
                             .toLongLong(&ok);
    const qint64 wanted = ok && asked > 0 ? std::min<qint64>(asked, 10000) : 200;
    const qint64 slice =
        std::max<qint64>(1, (stream.size() / Packet + wanted - 1) / wanted) * Packet;
    const qint64 count = (stream.size() + slice - 1) / slice;
    const QByteArray suffix = query.isEmpty() ? QByteArray() : '?' + query;
    ServiceReply reply;
    if (file == "hls/many.m3u8") {
        QByteArray list = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:1\n"
                          "#EXT-X-MEDIA-SEQUENCE:0\n#EXT-X-PLAYLIST-TYPE:VOD\n";
        for (qint64 i = 0; i < count; ++i)
            list += "#EXTINF:" + QByteArray::number(4.0 / double(count), 'f', 6) + ",\nmany-" +
                    QByteArray::number(i) + ".ts" + suffix + "\n";
        list += "#EXT-X-ENDLIST\n";
        reply.headers = {{"Content-Type", contentTypeOf(file)}};
        reply.body = ReplyBody(list);
        return reply;
    }
    constexpr QByteArrayView Piece = "hls/many-";
    const QByteArrayView number = QByteArrayView(file).sliced(Piece.size()).chopped(3);
    const qint64 index = isDigits(number) && number.size() < 8 ? number.toLongLong() : -1;
    if (!file.startsWith(Piece) || !file.endsWith(".ts") || index < 0 || index >= count)
        return ServiceReply::statusPage(404);
    reply.headers = {{"Content-Type", contentTypeOf(file)}};
    reply.resource = "media-" + QByteArray(file).replace('/', '-');
    reply.body = ReplyBody(stream.mid(index * slice, slice));
    return reply;
}

ServiceReply WebPages::answer(const QString &mediaDir, const QByteArray &path,
                              const QByteArray &host, const QByteArray &query)
{
    ServiceReply reply;
    if (path == ListFeed) {
        reply.headers = {{"Content-Type", "application/rss+xml; charset=utf-8"}};
        reply.body = ReplyBody(listFeed(host));
        return reply;
    }
    if (const int clip = clipOf(path); clip > 0) {
        reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
        reply.body = ReplyBody(clipPage(clip));
        return reply;
    }
    if (path == ProgressivePage || path == HlsPage || path == HlsGapPage || path == HlsManyPage) {
        reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
        const QByteArray many = "many.m3u8" + (query.isEmpty() ? QByteArray() : '?' + query);
        reply.body = ReplyBody(path == ProgressivePage ? progressivePage()
                               : path == HlsPage       ? hlsPage("index.m3u8")
                               : path == HlsManyPage   ? hlsPage(many)
                                                       : hlsPage("gap.m3u8"));
        return reply;
    }
    if (path.startsWith("/media/hls/many"))
        return manySegments(mediaDir, path.mid(MediaPrefix.size()), query);
    const QByteArray file = mediaFileOf(path);
    const bool gap = file == "hls/gap.m3u8";
    QFile media(mediaDir + QLatin1Char('/') +
                QString::fromLatin1(gap ? QByteArray("hls/index.m3u8") : file));
    if (file.isEmpty() || !media.open(QIODevice::ReadOnly))
        return ServiceReply::statusPage(404);
    reply.headers = {{"Content-Type", contentTypeOf(file)}};
    reply.resource = "media-" + QByteArray(file).replace('/', '-');
    QByteArray bytes = media.readAll();
    // The third segment named as one the server never had.
    if (gap)
        bytes.replace("segment2.ts", "segment99.ts");
    reply.body = ReplyBody(bytes);
    return reply;
}
