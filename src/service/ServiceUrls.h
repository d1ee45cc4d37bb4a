#pragma once

#include <QString>

// The service's hosts, fixed in the program.
inline const QString ServiceDomain = QStringLiteral("youtube.com"); // searched in links
inline const QString ShortLinkDomain = QStringLiteral("youtu.be");  // the short-link form
inline const QString WebHost = QStringLiteral("www.youtube.com");
inline const QString DataApiHost = QStringLiteral("gdata.youtube.com");

// The watch page of a video; also the Referer of every request of a job.
QString WatchUrl(const QString &videoId);
// The page the fallback title is read from.
QString InfoUrl(const QString &videoId);
// The data-API feed entry that carries the title.
QString FeedUrl(const QString &videoId);
