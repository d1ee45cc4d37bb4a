#include "service/ExtractorFailures.h"

#include "service/ExtractorOutput.h"

#include <gtest/gtest.h>

// One row per reason, each from a real error line of yt-dlp's (as its
// extractors word them, the video ids changed), read the way the route reads
// them: the last ERROR line of its standard error.
TEST(ExtractorFailures, TheCommonReasonsAreReadFromRealErrorLines)
{
    const struct
    {
        const char *line;
        ExtractorFailureKind kind;
    } cases[] = {
        {"ERROR: [youtube] Xq3kZ1bL0aA: Sign in to confirm you\u2019re not a bot. Use "
         "--cookies-from-browser or --cookies for the authentication. See  "
         "https://github.com/yt-dlp/yt-dlp/wiki/FAQ#how-do-i-pass-cookies-to-yt-dlp  for how to "
         "manually pass cookies. Also see  "
         "https://github.com/yt-dlp/yt-dlp/wiki/Extractors#exporting-youtube-cookies  for tips on "
         "effectively exporting YouTube cookies",
         ExtractorFailureKind::SignIn},
        {"ERROR: [youtube] Ab3dE6gH9jK: Sign in to confirm your age. This video may be "
         "inappropriate for some users. Use --cookies-from-browser or --cookies for the "
         "authentication.",
         ExtractorFailureKind::AgeLimit},
        {"ERROR: [youtube] Pr1vAt3v1dE: Private video. Sign in if you've been granted access to "
         "this video. Use --cookies-from-browser or --cookies for the authentication.",
         ExtractorFailureKind::Private},
        {"ERROR: [youtube] R3m0v3dv1d: Video unavailable. This video has been removed by the "
         "uploader",
         ExtractorFailureKind::Removed},
        {"ERROR: [youtube] G3oBl0ck3d0: Video unavailable. The uploader has not made this video "
         "available in your country",
         ExtractorFailureKind::Country},
        {"ERROR: [youtube] F0rmatm1ss: Requested format is not available. Use --list-formats for "
         "a list of available formats",
         ExtractorFailureKind::FormatMissing},
        {"ERROR: Unsupported URL: https://example.com/nothing-here",
         ExtractorFailureKind::UnsupportedLink},
        {"ERROR: [generic] Unable to download webpage: <urlopen error [Errno -2] Name or service "
         "not known> (caused by URLError(gaierror(-2, 'Name or service not known')))",
         ExtractorFailureKind::Other},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const QByteArray errors = QByteArray("[generic] Extracting URL\n") + c.line + '\n';
        EXPECT_EQ(ClassifyExtractorError(ExtractorErrorLine(errors, 1000)), c.kind);
        // The status panel's cut keeps what tells the reason.
        EXPECT_EQ(ClassifyExtractorError(ExtractorErrorLine(errors)), c.kind);
    }
    EXPECT_EQ(ClassifyExtractorError(QString()), ExtractorFailureKind::Other);
}

TEST(ExtractorFailures, ACookieBrowserIsOneYtDlpKnows)
{
    const struct
    {
        const char *value;
        const char *argument;
    } cases[] = {
        {"firefox", "firefox"},
        {" Chromium ", "chromium"},
        {"chrome:Profile 1", "chrome:Profile 1"},
        {"chromium+gnomekeyring:Default", "chromium+gnomekeyring:Default"},
        {"", ""},
        {"netscape", ""},
        {"--cookies", ""},
        {"firefox profile", ""},
        {"firefox:\nx", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(CookieBrowserArgument(QString::fromUtf8(c.value)), QString::fromUtf8(c.argument));
    }
}
