#include "service/ExtractorFormats.h"

#include "service/FormatTable.h"

#include <tuple>

namespace {

bool isPlainWebUrl(const QString &url)
{
    return url.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
           url.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

bool isDirect(const ExtractorFormat &format)
{
    return (format.Protocol == QStringLiteral("http") ||
            format.Protocol == QStringLiteral("https")) &&
           isPlainWebUrl(format.Url) && format.HasAudio;
}

// An extension becomes part of a file name, and a format id part of a
// selection the extractor parses: only plain names for either.
bool isPlainName(const QString &text, qsizetype longest, const QString &alsoAllowed)
{
    if (text.isEmpty() || text.size() > longest)
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                           (u >= u'0' && u <= u'9') || alsoAllowed.contains(c);
        if (!plain)
            return false;
    }
    return true;
}

// Words the extractor reads as a selection of its own rather than as a
// format's id: the best or worst of a kind, all of them, a container.
bool isSelectorWord(const QString &id)
{
    QString word = id.toLower();
    if (const qsizetype dot = word.lastIndexOf(QLatin1Char('.')); dot > 0) {
        bool number = false;
        word.mid(dot + 1).toInt(&number);
        if (number)
            word.truncate(dot);
    }
    static const QStringList Words = {
        QStringLiteral("b"),         QStringLiteral("w"),          QStringLiteral("bv"),
        QStringLiteral("ba"),        QStringLiteral("wv"),         QStringLiteral("wa"),
        QStringLiteral("best"),      QStringLiteral("worst"),      QStringLiteral("bestvideo"),
        QStringLiteral("bestaudio"), QStringLiteral("worstvideo"), QStringLiteral("worstaudio"),
        QStringLiteral("all"),       QStringLiteral("mergeall"),   QStringLiteral("3gp"),
        QStringLiteral("aac"),       QStringLiteral("flv"),        QStringLiteral("m4a"),
        QStringLiteral("mp3"),       QStringLiteral("mp4"),        QStringLiteral("ogg"),
        QStringLiteral("wav"),       QStringLiteral("webm")};
    return Words.contains(word);
}

// The lines of a height band; the higher bands overlap where a video could be either.
std::pair<int, int> linesOf(int band)
{
    switch (band) {
    case 240:
        return {1, 300};
    case 360:
        return {301, 420};
    case 480:
        return {421, 600};
    case 720:
        return {601, 840};
    case 1080:
        return {841, 1200};
    case 1440:
        return {1201, 1600};
    case 2160:
        return {1441, 2400};
    default:
        return {1, 0};
    }
}

// A format the program may save or hand to the extractor at all.
bool usable(const ExtractorFormat &format)
{
    if (format.Extension == QStringLiteral("mhtml"))
        return false;
    // The extractor names its file by the extension: only a plain word for it.
    return isDirect(format) || (isPlainName(format.Extension, 8, QString()) &&
                                isPlainName(format.FormatId, 64, QStringLiteral("-_.")) &&
                                !isSelectorWord(format.FormatId));
}

bool fits(const ExtractorFormat &format, const VideoFormat &wish)
{
    if (!format.HasVideo || !usable(format))
        return false;
    if (wish.Mp4Only && format.Extension != QStringLiteral("mp4"))
        return false;
    if (format.Height <= 0)
        return true;
    const auto [low, high] = linesOf(wish.HeightBand);
    return format.Height >= low && format.Height <= high;
}

bool isAac(const ExtractorFormat &format)
{
    if (!format.AudioCodec.isEmpty())
        return format.AudioCodec.startsWith(QStringLiteral("mp4a"));
    // No codec named: the containers of AAC.
    return QStringList{QStringLiteral("m4a"), QStringLiteral("mp4"), QStringLiteral("m4v"),
                       QStringLiteral("mov")}
        .contains(format.Extension);
}

auto rank(const ExtractorFormat &format, qsizetype position)
{
    return std::make_tuple(format.Height > 0, format.HasAudio, isDirect(format), format.Bitrate,
                           position);
}

// The video row whose suffix names a height: the last of its band.
int suffixRowOf(int height)
{
    const int band = HeightBand(height);
    int row = -1;
    for (int i = 0; i < FormatCount; ++i) {
        const VideoFormat &format = *formatAt(i);
        if (format.Kind == RowKind::Video && format.HeightBand == band)
            row = i;
    }
    return row;
}

ChosenExtractorFormat choiceOf(const ExtractorFormat &format, const VideoFormat &row)
{
    ChosenExtractorFormat choice;
    choice.Height = qMax(0, format.Height);
    choice.FileExtension = IsMediaContainer(format.Extension) ? QLatin1Char('.') + format.Extension
                                                              : row.FileExtension;
    if (isDirect(format)) {
        choice.OwnTransfer = true;
        choice.Url = format.Url;
        choice.Headers = format.Headers;
        return choice;
    }
    choice.Selector = format.FormatId;
    if (format.HasVideo && !format.HasAudio) {
        // Video alone: the extractor adds the best audio and merges the two.
        const bool mp4 = format.Extension == QStringLiteral("mp4");
        choice.Selector = mp4 ? format.FormatId + QStringLiteral("+bestaudio[ext=m4a]/") +
                                    format.FormatId + QStringLiteral("+bestaudio")
                              : format.FormatId + QStringLiteral("+bestaudio");
        choice.MergeFormat = mp4 || format.Extension == QStringLiteral("webm")
                                 ? format.Extension
                                 : QStringLiteral("mkv");
        choice.FileExtension = QLatin1Char('.') + choice.MergeFormat;
    }
    return choice;
}

// The best of the formats `wanted` takes, by `better`; -1 when none.
template <typename Wanted, typename Better>
qsizetype bestOf(const QList<ExtractorFormat> &formats, Wanted wanted, Better better)
{
    qsizetype best = -1;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        if (wanted(formats[i]) && (best < 0 || better(formats[best], best, formats[i], i)))
            best = i;
    }
    return best;
}

std::optional<ChosenExtractorFormat> chooseVideo(const QList<ExtractorFormat> &formats,
                                                 const VideoFormat &wish, int row)
{
    const qsizetype best = bestOf(
        formats, [&](const ExtractorFormat &f) { return fits(f, wish); },
        [](const ExtractorFormat &a, qsizetype ia, const ExtractorFormat &b, qsizetype ib) {
            return rank(a, ia) < rank(b, ib);
        });
    if (best < 0)
        return std::nullopt;
    ChosenExtractorFormat choice = choiceOf(formats[best], wish);
    choice.SuffixRow = choice.Height > 0 ? row : -1;
    return choice;
}

std::optional<ChosenExtractorFormat> chooseBest(const QList<ExtractorFormat> &formats,
                                                const VideoFormat &wish)
{
    const int highest = linesOf(2160).second;
    const qsizetype best = bestOf(
        formats,
        [&](const ExtractorFormat &f) { return f.HasVideo && usable(f) && f.Height <= highest; },
        [](const ExtractorFormat &a, qsizetype ia, const ExtractorFormat &b, qsizetype ib) {
            return std::make_tuple(a.Height, rank(a, ia)) < std::make_tuple(b.Height, rank(b, ib));
        });
    if (best < 0)
        return std::nullopt;
    ChosenExtractorFormat choice = choiceOf(formats[best], wish);
    choice.SuffixRow = choice.Height > 0 ? suffixRowOf(choice.Height) : -1;
    return choice;
}

std::optional<ChosenExtractorFormat> chooseAudio(const QList<ExtractorFormat> &formats,
                                                 const VideoFormat &wish, int row)
{
    const bool m4a = wish.FileExtension == QStringLiteral(".m4a");
    const auto aacIfAsked = [&](const ExtractorFormat &f) { return !m4a || isAac(f); };
    // Audio alone, the higher bitrate first.
    qsizetype best = bestOf(
        formats,
        [&](const ExtractorFormat &f) {
            return !f.HasVideo && f.HasAudio && usable(f) && aacIfAsked(f);
        },
        [](const ExtractorFormat &a, qsizetype ia, const ExtractorFormat &b, qsizetype ib) {
            return std::make_tuple(a.Bitrate, isDirect(a), ia) <
                   std::make_tuple(b.Bitrate, isDirect(b), ib);
        });
    bool alone = best >= 0;
    // Else the audio of the smallest video that has some.
    if (!alone) {
        best = bestOf(
            formats,
            [&](const ExtractorFormat &f) {
                return f.HasVideo && f.HasAudio && usable(f) && aacIfAsked(f);
            },
            [](const ExtractorFormat &a, qsizetype ia, const ExtractorFormat &b, qsizetype ib) {
                return std::make_tuple(-a.Height, isDirect(a), ia) <
                       std::make_tuple(-b.Height, isDirect(b), ib);
            });
    }
    if (best < 0)
        return std::nullopt;
    ChosenExtractorFormat choice = choiceOf(formats[best], wish);
    choice.SuffixRow = row;
    if (!alone || choice.FileExtension != wish.FileExtension) {
        choice.AudioTarget = wish.FileExtension;
        choice.CopiesAudio = m4a;
    }
    return choice;
}

} // namespace

bool IsMediaContainer(const QString &extension)
{
    static const QStringList Containers = {
        QStringLiteral("mp4"),  QStringLiteral("m4a"), QStringLiteral("m4v"),
        QStringLiteral("webm"), QStringLiteral("mkv"), QStringLiteral("mka"),
        QStringLiteral("flv"),  QStringLiteral("mov"), QStringLiteral("3gp"),
        QStringLiteral("3g2"),  QStringLiteral("ts"),  QStringLiteral("mp3"),
        QStringLiteral("ogg"),  QStringLiteral("oga"), QStringLiteral("ogv"),
        QStringLiteral("opus"), QStringLiteral("aac"), QStringLiteral("flac"),
        QStringLiteral("wav"),  QStringLiteral("avi"), QStringLiteral("mpg"),
        QStringLiteral("mpeg")};
    return Containers.contains(extension);
}

int HeightBand(int height)
{
    if (height <= 0)
        return 0;
    for (const int band : {240, 360, 480, 720, 1080, 1440, 2160}) {
        if (height <= linesOf(band).second)
            return band;
    }
    return -1;
}

std::optional<ChosenExtractorFormat> ChooseExtractorFormat(const QList<ExtractorFormat> &formats,
                                                           int formatIndex)
{
    const VideoFormat *wish = formatAt(formatIndex);
    if (!wish)
        return std::nullopt;
    switch (wish->Kind) {
    case RowKind::Video:
        return chooseVideo(formats, *wish, formatIndex);
    case RowKind::Best:
        return chooseBest(formats, *wish);
    case RowKind::Audio:
        return chooseAudio(formats, *wish, formatIndex);
    }
    return std::nullopt;
}
