#include "steps/RoutedLookup.h"

#include "job/JobPulse.h"
#include "steps/ExtractorLookup.h"
#include "steps/VideoLookup.h"

RoutedLookup::RoutedLookup(JobPulse &pulse, VideoLookup &builtIn, ExtractorLookup &extractor,
                           const QString &program)
    : m_pulse(pulse)
    , m_builtIn(builtIn)
    , m_extractor(extractor)
    , m_program(program)
{}

ResolvedVideo RoutedLookup::ResolveVideo(const QString &link)
{
    ResolvedVideo video = m_builtIn.ResolveVideo(link);
    if (!video.StreamUrl.isEmpty() || m_program.isEmpty() || m_pulse.windingDown())
        return video;
    // Never after a step-down the user declined, nor after a failed request.
    const VideoLookup::LookupMiss miss = m_builtIn.lastMiss();
    if (miss != VideoLookup::LookupMiss::UnknownLink &&
        miss != VideoLookup::LookupMiss::NoStreamMap)
        return video;
    return m_extractor.ResolveVideo(m_program, link);
}

void RoutedLookup::offerLists(bool offer)
{
    // Only the extractor knows lists.
    m_extractor.offerLists(offer);
}
