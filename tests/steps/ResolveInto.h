#pragma once

#include "steps/VideoLookup.h"

// Runs the lookup and spreads its result into the three names the tests check.
inline void resolveInto(VideoLookup &lookup, const QString &link, QString &StreamUrl,
                        QString &SaveFileName, QString &DefaultName)
{
    const ResolvedVideo video = lookup.ResolveVideo(link);
    StreamUrl = video.StreamUrl;
    SaveFileName = video.SaveFileName;
    DefaultName = video.DefaultName;
}
