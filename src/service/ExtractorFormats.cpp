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

bool fits(const ExtractorFormat &format, const VideoFormat &wish)
{
    if (!format.HasVideo || !isPlainName(format.Extension, 8, QString()) ||
        format.Extension == QStringLiteral("mhtml"))
        return false;
    if (!isDirect(format) && !isPlainName(format.FormatId, 64, QStringLiteral("-_.")))
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

ChosenExtractorFormat choiceOf(const ExtractorFormat &format)
{
    ChosenExtractorFormat choice;
    choice.FileExtension = QLatin1Char('.') + format.Extension;
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
    return choiceOf(formats[best]);
}
