#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// One stream of a canned video, as its stream-map entry names it.
struct CannedStream
{
    int itag = 0;
    QByteArray mediaFile;       // generated media file served as the body ("sample.flv")
    int checkStatus = 200;      // status of HEAD and GET on the stream URL
    QByteArray signature;       // the entry's "sig=" value; empty: the entry has none
    qint64 generatedBytes = -1; // >= 0: a generated body of this size instead of the file
    int flakyGets = 0;          // the first GETs of the stream that end half way
};

// One video the sample service knows. Adding a video is adding one entry.
struct CannedVideo
{
    QByteArray id;
    QList<CannedStream> streams;      // in stream-map order
    std::optional<QString> feedTitle; // none: the feed entry has no <title>
    QString pageTitle;                // the fallback page's title after "YouTube - "
    // Spaces each page carries before what the program reads from it (the
    // stream map, the feed's title, the fallback page's title); made while the
    // page is sent, so any size fits.
    qint64 watchPagePadding = 0;
    qint64 feedPadding = 0;
    qint64 fallbackPadding = 0;
};

// The videos every service knows unless told otherwise.
const QList<CannedVideo> &cannedVideos();
const CannedVideo *findCannedVideo(const QList<CannedVideo> &videos, const QByteArray &id);
