#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What the client needs to know of one response head, read line by line as
// the header callback delivers it.
struct ResponseHead
{
    int status = 0;            // 0 until a status line arrived
    qint64 contentLength = -1; // -1 when none was declared
    bool chunked = false;
    bool hasLocation = false;
    bool complete = false; // the blank line after the headers was seen
    QByteArray contentType;
    QByteArray etag;         // as sent, quotes and any W/ included
    QByteArray lastModified; // as sent
    QByteArray contentRange; // as sent
    QByteArray retryAfter;   // as sent

    // Takes one line, line end included; a status line starts a new head.
    void addLine(QByteArrayView line);

    bool isInformational() const { return status >= 100 && status < 200; }
};
