// ParseVideoLink: what it recognises, what the id may hold, and that the links
// the program builds itself give their id back.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "service/ServiceUrls.h"
#include "service/VideoLink.h"

namespace {

const QString ShortMarker = ShortLinkDomain + QLatin1Char('/');
const QString ServiceLabel = QStringLiteral("YouTube");

bool isLinkLabel(const QString &label)
{
    return label == ServiceLabel || label == ShortMarker;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString link = FuzzInput::text(FuzzInput(data, size).rest());

    const std::optional<VideoLink> parsed = ParseVideoLink(link);
    const bool recognisable = link.contains(ServiceDomain, Qt::CaseInsensitive) ||
                              link.contains(ShortMarker, Qt::CaseInsensitive);
    FUZZ_REQUIRE(parsed.has_value() == recognisable);
    if (parsed) {
        FUZZ_REQUIRE(isLinkLabel(parsed->LinkLabel));
        // The id is cut out of the link and ends before the next parameter.
        FUZZ_REQUIRE(!parsed->VideoId.contains(QLatin1Char('&')));
        FUZZ_REQUIRE(link.contains(parsed->VideoId));
        if (parsed->LinkLabel == ServiceLabel && !parsed->VideoId.isEmpty())
            FUZZ_REQUIRE(link.contains(QStringLiteral("v=") + parsed->VideoId) ||
                         link.contains(QStringLiteral("v/") + parsed->VideoId));
    }

    // Any id the watch page or a short link can carry comes back unchanged.
    const QString id = QString(link).remove(QLatin1Char('&'));
    if (id.isEmpty())
        return 0;
    if (!id.contains(ShortMarker, Qt::CaseInsensitive)) {
        const std::optional<VideoLink> watch = ParseVideoLink(WatchUrl(id));
        FUZZ_REQUIRE(watch && watch->LinkLabel == ServiceLabel && watch->VideoId == id);
    }
    if (!id.contains(ServiceDomain, Qt::CaseInsensitive)) {
        const std::optional<VideoLink> shortLink =
            ParseVideoLink(QStringLiteral("http://") + ShortMarker + id);
        FUZZ_REQUIRE(shortLink && shortLink->LinkLabel == ShortMarker && shortLink->VideoId == id);
    }
    return 0;
}
