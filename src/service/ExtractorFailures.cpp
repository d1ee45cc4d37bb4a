#include "service/ExtractorFailures.h"

#include <QStringList>

#include <initializer_list>

namespace {

bool containsAny(QStringView line, std::initializer_list<const char16_t *> needles)
{
    for (const char16_t *needle : needles) {
        if (line.contains(QStringView(needle), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

const QStringList Browsers = {
    QStringLiteral("brave"),  QStringLiteral("chrome"),  QStringLiteral("chromium"),
    QStringLiteral("edge"),   QStringLiteral("firefox"), QStringLiteral("opera"),
    QStringLiteral("safari"), QStringLiteral("vivaldi"), QStringLiteral("whale"),
};

} // namespace

ExtractorFailureKind ClassifyExtractorError(QStringView line)
{
    // Sites write "you're" with a typewriter or a typographic apostrophe.
    if (containsAny(line, {u"Private video", u"This video is private", u"video is private",
                           u"This post is private"}))
        return ExtractorFailureKind::Private;
    if (containsAny(line, {u"confirm your age", u"age-restricted", u"age restricted",
                           u"inappropriate for some users", u"age verification", u"adult content",
                           u"age limit"}))
        return ExtractorFailureKind::AgeLimit;
    if (containsAny(line, {u"not a bot", u"Sign in to confirm", u"login required", u"log in to",
                           u"logged-in", u"login to", u"sign in to view",
                           u"only available for registered users", u"account credentials",
                           u"requires authentication", u"use --cookies"}))
        return ExtractorFailureKind::SignIn;
    if (containsAny(line,
                    {u"not available in your country", u"not available from your location",
                     u"geo restriction", u"geo-restrict", u"not made this video available in your",
                     u"blocked it in your country", u"not available in your region"}))
        return ExtractorFailureKind::Country;
    if (containsAny(line, {u"has been removed", u"been terminated", u"no longer available",
                           u"Video unavailable", u"video does not exist", u"video is unavailable",
                           u"HTTP Error 404", u"does not exist", u"This video has been deleted",
                           u"was deleted"}))
        return ExtractorFailureKind::Removed;
    if (containsAny(line, {u"Requested format is not available", u"format is not available"}))
        return ExtractorFailureKind::FormatMissing;
    if (containsAny(line, {u"Unsupported URL", u"is not a valid URL", u"Unable to recognize"}))
        return ExtractorFailureKind::UnsupportedLink;
    return ExtractorFailureKind::Other;
}

bool IsCookieBrowser(const QString &browser)
{
    return Browsers.contains(browser.toLower());
}

QString CookieBrowserArgument(const QString &value)
{
    const QString trimmed = value.trimmed();
    qsizetype end = 0;
    while (end < trimmed.size() && trimmed.at(end).isLetter())
        ++end;
    const QString browser = trimmed.left(end).toLower();
    if (!IsCookieBrowser(browser))
        return {};
    const QString rest = trimmed.mid(end);
    // A keyring ("+gnomekeyring"), a profile (":NAME" or a path), a container.
    if (!rest.isEmpty() && rest.front() != QLatin1Char('+') && rest.front() != QLatin1Char(':'))
        return {};
    for (const QChar c : rest) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return {};
    }
    return browser + rest;
}
