#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Header lines as name and value, in the order they are sent.
using RequestHeaders = QList<std::pair<QByteArray, QByteArray>>;

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
    // Headers a stream asks for itself (the external extractor names them).
    // Each replaces a setting above of the same name; set for one request only.
    RequestHeaders Extra;
};
