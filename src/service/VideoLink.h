#pragma once

#include <QString>

#include <optional>

// What a recognised link yields: which form matched and the id cut out of it.
struct VideoLink
{
    QString LinkLabel; // "YouTube" or the short-link marker "youtu.be/"
    QString VideoId;   // may be empty
};

// Recognises the service-domain form (id after "v=" or "v/") and the short-link
// form (id right after the marker); nullopt when the link is neither. The short
// form is tested on the info URL the first form left behind, as the lookup always did.
std::optional<VideoLink> ParseVideoLink(const QString &link);
