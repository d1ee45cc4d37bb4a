#include "service/ServiceUrls.h"

// The id goes in unchanged: whatever the user typed after "v=" is sent as is.
QString WatchUrl(const QString &videoId)
{
    return QStringLiteral("http://") + WebHost + QStringLiteral("/watch?v=") + videoId;
}

QString InfoUrl(const QString &videoId)
{
    return QStringLiteral("http://") + WebHost + QStringLiteral("/get_video_info?video_id=") +
           videoId;
}

QString FeedUrl(const QString &videoId)
{
    return QStringLiteral("http://") + DataApiHost + QStringLiteral("/feeds/api/videos/") + videoId;
}
