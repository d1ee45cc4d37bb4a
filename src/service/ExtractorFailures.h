#pragma once

#include <QString>
#include <QStringView>

// The common reasons the extractor gives for finding no video, read from its
// own error line (ExtractorErrorLine), so that the job can say them in plain
// words of its own and what the user can do.
enum class ExtractorFailureKind
{
    Other,           // none of these: its own line is all there is
    SignIn,          // the site wants a signed-in user, or one who shows he is no bot
    AgeLimit,        // the video is age-restricted
    Private,         // the video is private
    Removed,         // the video was removed, or never was
    Country,         // not available in the user's country
    FormatMissing,   // the requested format is not available
    UnsupportedLink, // the extractor does not know the link
};

// The reason of an error line of yt-dlp's (with or without its "ERROR: "
// prefix). The most particular reason wins: a private video's line that also
// asks to sign in is Private, an age check's that says "sign in" is AgeLimit.
ExtractorFailureKind ClassifyExtractorError(QStringView line);

// The browsers yt-dlp takes the cookies of (--cookies-from-browser).
bool IsCookieBrowser(const QString &browser);
// The setting's or option's value as yt-dlp takes it: BROWSER[+KEYRING]
// [:PROFILE[::CONTAINER]], the browser of the list above in lower case.
// Empty when it names no such browser.
QString CookieBrowserArgument(const QString &value);
