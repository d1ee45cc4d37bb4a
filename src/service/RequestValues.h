#pragma once

#include <QString>

// Header values the lookup sets on the shared client before its requests.
inline const QString WatchPageUserAgent =
    QStringLiteral("Mozilla/5.0 (Windows NT 6.1; WOW64; rv:14.0) Gecko/20100101 Firefox/14.0.1");
// Used for the fallback title page and for the download itself.
inline const QString FallbackUserAgent =
    QStringLiteral("Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.13) Gecko/2009073022 "
                   "Firefox/3.0.13");
inline const QString DefaultAccept = QStringLiteral("text/html, */*");
inline const QString AnyCharSet = QStringLiteral("*");
inline const QString KeepAlive = QStringLiteral("Keep-Alive");
inline const QString FormContentType = QStringLiteral("application/x-www-form-urlencoded");
