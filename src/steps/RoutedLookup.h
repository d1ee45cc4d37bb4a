#pragma once

#include "job/JobSteps.h"

#include <QString>

class ExtractorLookup;
class JobPulse;
class VideoLookup;

// The lookup with its second route: when the built-in lookup finds no stream
// because it does not know the link or the watch page holds no stream map,
// and an extractor program is set, the external extractor looks the link up.
class RoutedLookup final : public VideoResolver
{
public:
    RoutedLookup(JobPulse &pulse, VideoLookup &builtIn, ExtractorLookup &extractor,
                 const QString &program);

    ResolvedVideo ResolveVideo(const QString &link) override;
    void offerLists(bool offer) override;

private:
    JobPulse &m_pulse;
    VideoLookup &m_builtIn;
    ExtractorLookup &m_extractor;
    const QString &m_program; // empty: the route is off
};
