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

bool fits(const ExtractorFormat &format, const VideoFormat &wish)
{
    if (!format.HasVideo || format.Extension == QStringLiteral("mhtml"))
        return false;
    // The extractor names its file by the extension: only a plain word for it.
    if (!isDirect(format) && (!isPlainName(format.Extension, 8, QString()) ||
                              !isPlainName(format.FormatId, 64, QStringLiteral("-_.")) ||
                              isSelectorWord(format.FormatId)))
        return false;
    if (wish.Mp4Only && format.Extension != QStringLiteral("mp4"))
        return false;
    const int band = HeightBand(format.Height);
    return band == 0 || band == wish.HeightBand;
}

auto rank(const ExtractorFormat &format, qsizetype position)
{
    return std::make_tuple(format.Height > 0, format.HasAudio, isDirect(format), format.Bitrate,
                           position);
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
    if (!format.HasAudio) {
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

} // namespace

int HeightBand(int height)
{
    if (height <= 0)
        return 0;
    if (height <= 300)
        return 240;
    if (height <= 420)
        return 360;
    if (height <= 600)
        return 480;
    if (height <= 840)
        return 720;
    if (height <= 1200)
        return 1080;
    return -1;
}

std::optional<ChosenExtractorFormat> ChooseExtractorFormat(const QList<ExtractorFormat> &formats,
                                                           int formatIndex)
{
    const VideoFormat *wish = formatAt(formatIndex);
    if (!wish)
        return std::nullopt;
    qsizetype best = -1;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        if (fits(formats[i], *wish) &&
            (best < 0 || rank(formats[best], best) < rank(formats[i], i)))
            best = i;
    }
    if (best < 0)
        return std::nullopt;
    return choiceOf(formats[best], *wish);
}

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
