#pragma once

#include <QString>

// Persistent request settings of the one client; each non-empty one is sent
// as the header of that name on every request until it is changed again.
struct HttpRequestSettings
{
    QString Referer;
    QString UserAgent;
    QString Accept = QStringLiteral("text/html, */*");
    QString AcceptCharSet;
    QString Connection;
    QString ContentType;
};
