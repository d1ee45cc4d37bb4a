#pragma once

#include "ServiceReply.h"

#include <QByteArray>
#include <QString>

#include <array>

// Pages of today's web, for the external extractor: one whose HTML5 <video>
// offers progressive MP4s of three heights, one whose video is an HLS playlist
// of MPEG-TS segments, and their media. Links name no host, so the pages work
// on Host through the proxy and on the service's own address alike.
//
// What yt-dlp 2023.03.04 (Debian 12) reports, from
//   yt-dlp -J --no-playlist --no-warnings http://127.0.0.1:PORT/pages/progressive
//   yt-dlp -J --no-playlist --no-warnings --proxy http://127.0.0.1:PORT
//          http://media.sample.test/pages/progressive
// and the same for /pages/hls; every URL names the host the page was asked from:
// - progressive: "_type": "video", "extractor": "html5", "extractor_key":
//   "HTML5MediaEmbed", "id": "progressive-1", "title": "Sample HTML5 Video (1)",
//   chosen "format_id": "720p"; "formats" worst first, each {"format_id": "240p" |
//   "360p" | "720p", "height": 240 | 360 | 720, "width": null, "ext": "mp4", "protocol":
//   "http", "url": "http://HOST/media/progressive-240.mp4" ...}, vcodec, acodec, tbr and
//   filesize null, "http_headers": {"User-Agent": a Chrome one that changes from run to
//   run, "Accept": "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8",
//   "Accept-Language": "en-us,en;q=0.5", "Sec-Fetch-Mode": "navigate", "Referer": the
//   page's URL}.
// - hls: "id": "hls-1", "title": "Sample HLS Video (1)", one format {"format_id": "hls",
//   "height": null, "ext": "mp4", "protocol": "m3u8_native", "url":
//   "http://HOST/media/hls/index.m3u8", the same http_headers}; -J reads the playlist.
// yt-dlp --newline --proxy http://127.0.0.1:PORT -o 'OUT.%(ext)s' URL-of-the-hls-page
// reads the page, the playlist twice and segment0..3.ts, prints "[hlsnative] Total
// fragments: 4", "[download] ... (frag N/4)" lines, "[FixupM3u8] Fixing MPEG-TS in MP4
// container of "OUT.mp4"" and exits 0; the file's time is the Last-Modified. Without
// --no-warnings it writes "WARNING: [generic] Falling back on generic information
// extractor" to standard error. It resumes a progressive .part file with
// "Range: bytes=N-" and no If-Range.
class WebPages
{
public:
    static constexpr const char *Host = "media.sample.test";
    static constexpr const char *ProgressivePage = "/pages/progressive";
    static constexpr const char *HlsPage = "/pages/hls";
    // The HLS page whose playlist names a segment the server does not have.
    static constexpr const char *HlsGapPage = "/pages/hls-gap";
    // A list of videos: an RSS feed of three pages, /pages/clip-1 to -3, each an
    // HTML5 <video> of the 240-line MP4 titled "Sample Clip N". yt-dlp -J
    // --flat-playlist reports it as "_type": "playlist", "title": "Sample List",
    // "id": the feed's URL, and entries {"_type": "url_transparent", "url":
    // "http://HOST/pages/clip-N", "title": "Sample Clip N"} without ids.
    static constexpr const char *ListFeed = "/lists/sample.rss";
    static constexpr int ClipCount = 3;
    // The same video as an HLS playlist of many small segments (segments=N,
    // default 200): the four segments' bytes cut at MPEG-TS packets. The
    // page's query goes on to the playlist and the segments (latency=MS).
    static constexpr const char *HlsManyPage = "/pages/hls-many";
    static constexpr std::array<int, 5> Heights = {2160, 1440, 720, 360, 240}; // <source> order
    // The progressive page's subtitle track, in English.
    static constexpr const char *SubtitleTrack = "/media/subs-en.vtt";

    // Whether the path is one of the pages or one of their media files.
    static bool serves(const QByteArray &path);
    // The page or media file at the path; files are resources (ranges,
    // validators) named after themselves.
    static ServiceReply answer(const QString &mediaDir, const QByteArray &path,
                               const QByteArray &host, const QByteArray &query = {});

private:
    static ServiceReply manySegments(const QString &mediaDir, const QByteArray &file,
                                     const QByteArray &query);
    // The media file a path names, relative to the media folder; empty when none.
    static QByteArray mediaFileOf(const QByteArray &path);
};
