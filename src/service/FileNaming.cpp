#include "service/FileNaming.h"

#include "service/BidiControls.h"
#include "service/FormatTable.h"

#include <QTextBoundaryFinder>

#include <array>
#include <utility>

namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

using Replacements = std::array<std::pair<QString, QString>, 9>;

// Each replacement works on the result of the one before; the entities come
// first, then the control characters go, then the characters a name cannot carry.
const Replacements &entities()
{
    static const Replacements table{{
        {QStringLiteral("&quot;"), QStringLiteral("\"")},
        {QStringLiteral("&nbsp;"), QStringLiteral(" ")},
        {QStringLiteral("&amp;"), QStringLiteral("&")},
        {QStringLiteral("&lt;"), QStringLiteral("<")},
        {QStringLiteral("&gt;"), QStringLiteral(">")},
        {QStringLiteral("&copy;"), QString()},
        {QStringLiteral("&reg;"), QString()},
        {QStringLiteral("&sup1;"), QString()},
        {QStringLiteral("&sect;"), QString()},
    }};
    return table;
}

const Replacements &unfitCharacters()
{
    static const Replacements table{{
        {QStringLiteral("\""), QString()},
        {QStringLiteral("<"), QStringLiteral("_")},
        {QStringLiteral(">"), QStringLiteral("_")},
        {QStringLiteral("|"), QStringLiteral("_")},
        {QStringLiteral("*"), QStringLiteral("_")},
        {QStringLiteral("/"), QStringLiteral("_")},
        {QStringLiteral("\\"), QStringLiteral("_")},
        {QStringLiteral("?"), QStringLiteral("_")},
        {QStringLiteral(":"), QStringLiteral("_")},
    }};
    return table;
}

bool isTrimmed(QChar c)
{
    return c.unicode() <= 32;
}

// Unicode's control characters (category Cc): a NUL would end the name the
// file system sees, and the others cannot be typed or shown. With them go the
// bidirectional controls, which would show the name, and its extension, in
// another order than the file has.
bool isUnfitControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || IsBidiControl(u);
}

// A page title may be as long as the page; no name keeps more than a few
// hundred characters of it, so a longer one only costs time to clean and cut.
constexpr qsizetype MaxPageTitleLength = 4096;

QString boundedPageTitle(const QString &title)
{
    if (title.size() <= MaxPageTitleLength)
        return title;
    const bool pairCut = title.at(MaxPageTitleLength - 1).isHighSurrogate();
    return title.left(MaxPageTitleLength - (pairCut ? 1 : 0));
}

// False for a cleaned name that is empty, which with its extension would be a
// hidden file of no name (".flv"), or dots only ("." and ".." are folders),
// also once the finished name cleans it again: that trims the blanks removed
// controls laid bare ("\x7F \x7F" cleans to " ").
bool isUsableName(const QString &cleaned)
{
    for (const QChar c : CleanFileName(cleaned))
        if (c != QLatin1Char('.'))
            return true;
    return false;
}

// Only ASCII letters are folded: QString's case-insensitive search folds more.
qsizetype indexOfAsciiFolded(const QString &text, const QString &what, qsizetype from)
{
    const qsizetype last = text.size() - what.size();
    for (qsizetype i = from; i <= last; ++i) {
        qsizetype k = 0;
        while (k < what.size()) {
            char16_t a = text.at(i + k).unicode();
            char16_t b = what.at(k).unicode();
            if (a >= u'A' && a <= u'Z')
                a += 32;
            if (b >= u'A' && b <= u'Z')
                b += 32;
            if (a != b)
                break;
            ++k;
        }
        if (k == what.size())
            return i;
    }
    return -1;
}

QString replaceAll(const QString &text, const QString &what, const QString &by)
{
    QString result;
    qsizetype from = 0;
    for (qsizetype at; (at = indexOfAsciiFolded(text, what, from)) >= 0; from = at + what.size()) {
        result.append(QStringView(text).mid(from, at - from));
        result.append(by);
    }
    result.append(QStringView(text).mid(from));
    return result;
}

// True when `at` falls between the two halves of a surrogate pair.
bool splitsPair(QStringView text, qsizetype at)
{
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() &&
           text.at(at).isLowSurrogate();
}

} // namespace

namespace {

// Cleaned, with its extension, cut to fit without losing the suffix.
QString finishedName(const QString &name, const QString &suffix, const QString &extension,
                     const QString &dated)
{
    const QString cleaned = CleanFileName(name);
    const qsizetype keptTail =
        extension.size() + (!suffix.isEmpty() && cleaned.endsWith(suffix) ? suffix.size() : 0);
    const QString fitted = FitFileName(cleaned + extension, keptTail);
    // The cut of a long title can leave dots only.
    if (!isUsableName(QStringView(fitted).chopped(extension.size()).toString()))
        return dated + extension;
    return fitted;
}

} // namespace

QString DatedName(const QDateTime &moment)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return QStringLiteral("movie_") + twoDigits(d.month()) + QLatin1Char('-') + twoDigits(d.day()) +
           QLatin1Char('-') + QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')) +
           QLatin1Char('_') + twoDigits(t.hour()) + QLatin1Char('-') + twoDigits(t.minute()) +
           QLatin1Char('-') + twoDigits(t.second());
}

QString CleanFileName(const QString &name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && isTrimmed(name.at(begin)))
        ++begin;
    while (end > begin && isTrimmed(name.at(end - 1)))
        --end;
    QString result = name.mid(begin, end - begin);
    for (const auto &[what, by] : entities())
        result = replaceAll(result, what, by);
    result.removeIf(isUnfitControl);
    for (const auto &[what, by] : unfitCharacters())
        result = replaceAll(result, what, by);
    return result;
}

QString FitFileName(const QString &name, qsizetype keptTail)
{
    if (name.toUtf8().size() <= MaxFileNameBytes)
        return name;
    qsizetype headSize = qMax<qsizetype>(0, name.size() - keptTail);
    if (splitsPair(name, headSize))
        --headSize;
    const QStringView head = QStringView(name).left(headSize);
    const QStringView tail = QStringView(name).mid(headSize);
    const qsizetype room = MaxFileNameBytes - tail.toUtf8().size();
    // Keep whole characters (grapheme clusters) so that no byte sequence is
    // split, adding up their sizes once from the front. Qt's finder also
    // stops inside a surrogate pair in some scripts (U+1F469 U+100D), where a
    // half would count as one byte and be written as "?": such a stop is passed.
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, head.toString());
    qsizetype kept = 0;
    qsizetype keptBytes = 0;
    for (qsizetype next; (next = boundaries.toNextBoundary()) > 0;) {
        if (splitsPair(head, next))
            continue;
        keptBytes += head.mid(kept, next - kept).toUtf8().size();
        if (keptBytes > room)
            break;
        kept = next;
    }
    // A lone high half left before a tail that starts with a lone low half
    // would join it into one four-byte character, where each counted one byte.
    const bool tailStartsLow = !tail.isEmpty() && tail.front().isLowSurrogate();
    while (tailStartsLow && kept > 0 && head.at(kept - 1).isHighSurrogate()) {
        boundaries.setPosition(kept);
        qsizetype previous;
        do
            previous = boundaries.toPreviousBoundary();
        while (splitsPair(head, previous));
        kept = qMax<qsizetype>(0, previous);
    }
    QString fitted = head.left(kept).toString();
    fitted += tail;
    return fitted;
}

VideoFileNames NameVideoFiles(const QString &feedTitle, bool haveStreamUrl, int formatIndex,
                              const QDateTime &moment, const std::function<QString()> &pageTitle,
                              const QString &givenExtension)
{
    const VideoFormat *format = formatAt(formatIndex);
    const QString dated = DatedName(moment);

    QString name = feedTitle;
    QString suffix = format ? format->FeedSuffix : QString();
    if (haveStreamUrl && name.isEmpty()) {
        suffix = format ? format->PageSuffix : QString();
        // The suffix is added even to an empty page title.
        name = boundedPageTitle(pageTitle()) + suffix;
    }
    name = CleanFileName(name);
    if (!isUsableName(name))
        name = dated;

    const QString extension = !givenExtension.isEmpty() ? givenExtension
                              : format                  ? format->FileExtension
                                                        : QStringLiteral(".flv");
    return {finishedName(name, suffix, extension, dated), dated + QStringLiteral(".flv")};
}

VideoFileNames NameExtractorVideoFiles(const QString &title, int suffixRow, const QDateTime &moment,
                                       const QString &extension)
{
    const VideoFormat *format = formatAt(suffixRow);
    const QString dated = DatedName(moment);
    // A title of blanks or dots alone would leave a hidden file or a folder's name.
    const bool titled = isUsableName(CleanFileName(title));
    const QString suffix = format && titled ? format->FeedSuffix : QString();
    const QString name = titled ? title + suffix : dated;
    return {finishedName(name, suffix, extension, dated), dated + QStringLiteral(".flv")};
}

QString ListFolderName(const QString &title, const QString &id)
{
    for (const QString &name : {title, id}) {
        const QString fitted = FitFileName(CleanFileName(name), 0);
        // No blank at either end, and no leading dot: it would hide the folder.
        qsizetype from = 0;
        while (from < fitted.size() && (fitted[from] == QLatin1Char('.') || fitted[from].isSpace()))
            ++from;
        const QString cleaned = fitted.mid(from).trimmed();
        if (isUsableName(cleaned))
            return cleaned;
    }
    return QStringLiteral("Video list");
}
