#include "CannedVideos.h"

const QList<CannedVideo> &cannedVideos()
{
    static const QList<CannedVideo> videos = {
        // Every format the lookup tries first is there, each answering its check.
        {"Vk2xSample1",
         {{34, "sample.flv", 200, "4A1B.C2D3"},
          {18, "sample.mp4", 200, "5E6F.A7B8"},
          {5, "sample.flv", 200, {}}},
         QStringLiteral("Sample Clip"),
         QStringLiteral("Sample Clip")},
        // The HD stream is refused; the feed has no title, so the name comes
        // from the fallback page.
        {"NoFeedTitle",
         {{22, "sample.mp4", 403, {}}, {34, "sample.flv", 200, {}}},
         std::nullopt,
         QStringLiteral("Fallback Title")},
        // The window's example link: every format, each answering its check.
        {"vidlark0001",
         {{37, "sample.mp4", 200, "37AA.BB37"},
          {22, "sample.mp4", 200, "22AA.BB22"},
          {35, "sample.flv", 200, "35AA.BB35"},
          {34, "sample.flv", 200, "34AA.BB34"},
          {18, "sample.mp4", 200, {}},
          {5, "sample.flv", 200, {}}},
         QStringLiteral("Vidlark Sample Clip"),
         QStringLiteral("Vidlark Sample Clip")},
        // Only the 360p and 240p streams: higher formats step down to 360p.
        {"vidlark0002",
         {{34, "sample.flv", 200, "34CC.DD34"}, {5, "sample.flv", 200, {}}},
         QStringLiteral("Two Streams Only"),
         QStringLiteral("Two Streams Only")},
        // The 360p stream refuses its check.
        {"vidlark0003",
         {{34, "sample.flv", 403, {}}, {5, "sample.flv", 200, {}}},
         QStringLiteral("Refused Stream"),
         QStringLiteral("Refused Stream")},
        // No title in the feed: the name comes from the fallback page.
        {"vidlark0004",
         {{34, "sample.flv", 200, {}}, {18, "sample.mp4", 200, {}}},
         std::nullopt,
         QStringLiteral("Fallback Page Title")},
        // A title beyond Latin-1, sent as UTF-8.
        {"vidlark0005",
         {{34, "sample.flv", 200, {}}, {5, "sample.flv", 200, {}}},
         QStringLiteral("Caf\u00E9 \u00DCr\u00FCmqi \u6F22\u5B57"),
         QStringLiteral("Caf\u00E9 \u00DCr\u00FCmqi \u6F22\u5B57")},
        // 95 characters: with a suffix of 6 or more the feed title is too long.
        {"vidlark0006",
         {{34, "sample.flv", 200, {}}, {5, "sample.flv", 200, {}}},
         QStringLiteral("A title of ninety-five characters, long enough that the 360p suffix "
                        "pushes it past the limit 95"),
         QStringLiteral("Page title of the long one")},
        // 100 characters of three UTF-8 bytes each: too long for a file name as is.
        {"vidlark0007",
         {{5, "sample.flv", 200, {}}},
         QString(100, QChar(0x6F22)),
         QString(100, QChar(0x6F22))},
        // A 1 GiB generated stream, for benchmarks and for stopping a long transfer.
        {"vidlark0008",
         {{34, "sample.flv", 200, {}, qint64(1) << 30}},
         QStringLiteral("Big Generated Stream"),
         QStringLiteral("Big Generated Stream")},
        // A 256 MiB generated stream whose first two GETs break off half way
        // through what they send, so the window's retries show against the service.
        {"vidlark0009",
         {{34, "sample.flv", 200, {}, qint64(1) << 28, 2}, {5, "sample.flv", 200, {}}},
         QStringLiteral("Flaky Stream"),
         QStringLiteral("Flaky Stream")},
        // A 4K stream (its code 38) above the 1080p and lower ones.
        {"vidlark0010",
         {{38, "progressive-2160.mp4", 200, {}},
          {37, "sample.mp4", 200, {}},
          {34, "sample.flv", 200, {}},
          {5, "sample.flv", 200, {}}},
         QStringLiteral("Four K Sample"),
         QStringLiteral("Four K Sample")},
    };
    return videos;
}

const CannedVideo *findCannedVideo(const QList<CannedVideo> &videos, const QByteArray &id)
{
    for (const CannedVideo &video : videos) {
        if (video.id == id)
            return &video;
    }
    return nullptr;
}
