#pragma once

#include "job/JobSteps.h"

#include <QDateTime>
#include <QString>

#include <functional>

class FormatChoice;
class JobPulse;

// The second lookup route: the external extractor describes the video
// (yt-dlp -J), a format of the selected row is chosen with the same step-down
// chain as the built-in route, and the title is named by the same rules.
class ExtractorLookup
{
public:
    using DateSource = std::function<QDateTime()>;

    static constexpr int TimeLimitMs = 60000;
    static constexpr qint64 AnswerLimit = qint64(32) << 20;

    ExtractorLookup(FormatChoice &formats, JobPulse &pulse,
                    DateSource now = &QDateTime::currentDateTime);

    // The video at link through the extractor program. Nothing found: an empty
    // StreamUrl, with the reason when the extractor gave or caused one, and
    // how it failed when it ran.
    ResolvedVideo ResolveVideo(const QString &program, const QString &link);

    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }
    // Whether a link that holds a list gives the list (its entries, read flat)
    // or the video it names, else its first.
    void offerLists(bool offer) { m_offerLists = offer; }
    // The browser whose cookies the extractor reads (CookieBrowserArgument); empty: none.
    void setCookiesFromBrowser(const QString &browser) { m_cookiesFromBrowser = browser; }

private:
    ResolvedVideo resolve(const QString &program, const QString &link, bool offerLists);

    FormatChoice &m_formats;
    JobPulse &m_pulse;
    DateSource m_now;
    int m_timeLimitMs = TimeLimitMs;
    bool m_offerLists = false;
    QString m_cookiesFromBrowser;
};
