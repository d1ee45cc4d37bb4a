#pragma once

#include <QByteArray>
#include <QString>

// Titles never longer than this (in UTF-16 code units) are taken from the feed.
inline constexpr qsizetype MaxTitleLength = 100;

// The title in a data-API feed body, UTF-8 decoded when its bytes look like
// UTF-8, with the feed suffix of the format; empty when the feed has no usable
// title or the result would be longer than MaxTitleLength.
QString TitleFromFeed(QByteArrayView feed, int formatIndex);

// The text after the first `marker` up to the next "<", passed through the
// ANSI code page and decoded as UTF-8 (malformed bytes become U+FFFD); empty
// when the marker is missing or no "<" follows.
QString TextAfterMarker(const QString &page, const QString &marker);
