// File names: whatever the titles hold, the name is one the file system takes
// as a file of that format, and the cut is the one the plain search gives.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "service/FileNaming.h"
#include "service/FormatTable.h"
#include "service/ListedLines.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

namespace {

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control;
}

// The bidirectional marks, embeddings, overrides and isolates, by code point.
bool isBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

bool onlyDots(QStringView text)
{
    for (const QChar c : text)
        if (c != QLatin1Char('.'))
            return false;
    return true;
}

void checkCleaned(const QString &title)
{
    const QString cleaned = CleanFileName(title);
    FUZZ_REQUIRE(cleaned.size() <= title.size());
    for (const QChar c : cleaned) {
        FUZZ_REQUIRE(!isControl(c) && !isBidiControl(c));
        FUZZ_REQUIRE(!QStringLiteral("<>|*/\\?:\"").contains(c));
    }
}

// True when the text's UTF-8 form decodes back to it: no lone surrogate. A
// leading U+FEFF is a character of the name here, not a byte order mark.
bool wholeInUtf8(const QString &text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return QString(decoder.decode(text.toUtf8())) == text;
}

bool splitsPair(const QString &text, qsizetype at)
{
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() &&
           text.at(at).isLowSurrogate();
}

// The tail FitFileName keeps: the last `keptTail` units, or one more when
// they would start inside a surrogate pair.
QString keptTailOf(const QString &name, qsizetype keptTail)
{
    const qsizetype start = qMax<qsizetype>(0, name.size() - keptTail);
    return name.mid(splitsPair(name, start) ? start - 1 : start);
}

// The cut as first written: take one grapheme off the end until it fits,
// never stopping inside a surrogate pair. Slow, hence only for short names.
QString fittedOneByOne(const QString &name, qsizetype keptTail)
{
    if (name.toUtf8().size() <= MaxFileNameBytes)
        return name;
    const QString tail = keptTailOf(name, keptTail);
    QString head = name.left(name.size() - tail.size());
    const qsizetype tailBytes = tail.toUtf8().size();
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, head);
    boundaries.toEnd();
    // Nor may the cut leave a lone high half to join a tail's lone low half.
    const bool tailStartsLow = !tail.isEmpty() && tail.front().isLowSurrogate();
    while (!head.isEmpty() && (head.toUtf8().size() + tailBytes > MaxFileNameBytes ||
                               (tailStartsLow && head.back().isHighSurrogate()))) {
        qsizetype cut = boundaries.toPreviousBoundary();
        while (splitsPair(head, cut))
            cut = boundaries.toPreviousBoundary();
        head.truncate(cut < 0 ? 0 : cut);
    }
    return head + tail;
}

void checkFit(const QString &name, qsizetype keptTail)
{
    const QString fitted = FitFileName(name, keptTail);
    const QString tail = keptTailOf(name, keptTail);
    if (name.toUtf8().size() <= MaxFileNameBytes) {
        FUZZ_REQUIRE(fitted == name);
        return;
    }
    FUZZ_REQUIRE(fitted.endsWith(tail));
    FUZZ_REQUIRE(name.startsWith(QStringView(fitted).chopped(tail.size())));
    if (tail.toUtf8().size() <= MaxFileNameBytes)
        FUZZ_REQUIRE(fitted.toUtf8().size() <= MaxFileNameBytes);
    // No pair is cut in two that the name had whole.
    if (wholeInUtf8(name))
        FUZZ_REQUIRE(wholeInUtf8(fitted));
    if (name.size() <= 1024)
        FUZZ_REQUIRE(fitted == fittedOneByOne(name, keptTail));
}

void checkNames(const QString &feedTitle, bool haveStreamUrl, int formatIndex,
                const QDateTime &moment, const QString &pageTitle)
{
    int pageRequests = 0;
    const VideoFileNames names = NameVideoFiles(feedTitle, haveStreamUrl, formatIndex, moment, [&] {
        ++pageRequests;
        return pageTitle;
    });
    FUZZ_REQUIRE(pageRequests == (haveStreamUrl && feedTitle.isEmpty() ? 1 : 0));

    static const QRegularExpression dated(
        QStringLiteral("^movie_[0-9]{2}-[0-9]{2}-[0-9]{4}_[0-9]{2}-[0-9]{2}-[0-9]{2}$"));
    FUZZ_REQUIRE(dated.match(DatedName(moment)).hasMatch());
    FUZZ_REQUIRE(names.DefaultName == DatedName(moment) + QStringLiteral(".flv"));

    const QString &name = names.SaveFileName;
    const VideoFormat *format = formatAt(formatIndex);
    const QString extension = format ? format->FileExtension : QStringLiteral(".flv");
    FUZZ_REQUIRE(!name.contains(QLatin1Char('/')));
    for (const QChar c : name)
        FUZZ_REQUIRE(!isControl(c)); // NUL among them
    FUZZ_REQUIRE(name.toUtf8().size() <= MaxFileNameBytes);
    FUZZ_REQUIRE(name.endsWith(extension));
    // Never ".", "..", dots only, or the bare extension of a hidden file.
    FUZZ_REQUIRE(!onlyDots(QStringView(name).chopped(extension.size())));
    // Whole characters only: nothing is lost in UTF-8 that the titles had.
    if (wholeInUtf8(feedTitle) && wholeInUtf8(pageTitle))
        FUZZ_REQUIRE(wholeInUtf8(name));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // "FH": the format index digit and 1 when a stream URL was found.
    const QByteArrayView control = input.field();
    const int formatIndex = control.isEmpty() ? 2 : control[0] - '0';
    const bool haveStreamUrl = control.size() < 2 || control[1] != '0';
    const QString feedTitle = FuzzInput::text(input.field());
    const QString pageTitle = FuzzInput::text(input.field());
    // Any moment from 1970 to 9999, in UTC so no time zone is looked up.
    const qint64 seconds = FuzzInput::number(input.field(), 1344953109);
    const QDateTime moment =
        QDateTime::fromSecsSinceEpoch(qint64(quint64(seconds) % 253402300800ULL), Qt::UTC);

    checkCleaned(feedTitle);
    checkCleaned(pageTitle);
    checkFit(feedTitle + pageTitle, qsizetype(quint8(control.size() > 2 ? control[2] : 4)) % 32);
    checkNames(feedTitle, haveStreamUrl, formatIndex, moment, pageTitle);

    // A list's folder: one plain, visible name that fits.
    const QString folder = ListFolderName(feedTitle, pageTitle);
    FUZZ_REQUIRE(!folder.isEmpty() && !folder.startsWith(QLatin1Char('.')));
    FUZZ_REQUIRE(folder.toUtf8().size() <= MaxFileNameBytes && !folder.contains(QLatin1Char('/')));
    // A list file's lines: trimmed, never blank, never a comment.
    for (const QString &line : ListedLines(feedTitle.toUtf8() + '\n' + pageTitle.toUtf8()))
        FUZZ_REQUIRE(!line.isEmpty() && line == line.trimmed() &&
                     !line.startsWith(QLatin1Char('#')) && !line.contains(QLatin1Char('\n')));
    return 0;
}
