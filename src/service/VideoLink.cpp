#include "service/VideoLink.h"

#include "service/ServiceUrls.h"

namespace {

// The id runs from `from` to the next "&" or the end of the link.
QString idFrom(const QString &link, qsizetype from)
{
    const qsizetype amp = link.indexOf(QLatin1Char('&'), from);
    if (amp < 0)
        return link.mid(from);
    return link.mid(from, amp - from);
}

// Start of the id after `key` ("v=" or "v/"), or -1 when the key is missing or ends the link.
qsizetype idStartAfter(const QString &link, QLatin1StringView key, qsizetype from)
{
    const qsizetype found = link.indexOf(key, from, Qt::CaseSensitive);
    if (found < 0 || found + key.size() >= link.size())
        return -1;
    return found + key.size();
}

} // namespace

std::optional<VideoLink> ParseVideoLink(const QString &link)
{
    if (link.isEmpty())
        return std::nullopt;

    QString current = link;
    QString label;
    QString id;

    if (current.contains(ServiceDomain, Qt::CaseInsensitive)) {
        label = QStringLiteral("YouTube");
        const qsizetype start = current.indexOf(label, 0, Qt::CaseInsensitive) + label.size();
        qsizetype idStart = idStartAfter(current, QLatin1StringView("v="), start);
        if (idStart < 0)
            idStart = idStartAfter(current, QLatin1StringView("v/"), start);
        id = idStart < 0 ? QString() : idFrom(current, idStart);
        current = InfoUrl(id);
    }

    const QString marker = ShortLinkDomain + QLatin1Char('/');
    const qsizetype markerAt = current.indexOf(marker, 0, Qt::CaseInsensitive);
    if (markerAt >= 0) {
        label = marker;
        id = idFrom(current, markerAt + marker.size());
    }

    if (label.isEmpty())
        return std::nullopt;
    return VideoLink{label, id};
}
