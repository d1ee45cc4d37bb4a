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
    };
    return videos;
}

const CannedVideo *findCannedVideo(const QByteArray &id)
{
    for (const CannedVideo &video : cannedVideos()) {
        if (video.id == id)
            return &video;
    }
    return nullptr;
}
