#include "service/FormatTable.h"

namespace {

// The questions break their two sentences with LF CR, in that order.
QString question(const char *first, const char *second)
{
    return QString::fromLatin1(first) + QStringLiteral("\n\r") + QString::fromLatin1(second);
}

const QString IfAvailable = QStringLiteral("   <font color=\"#ff0000\">- if available</font>");

} // namespace

const std::array<VideoFormat, FormatCount> &FormatTable()
{
    static const std::array<VideoFormat, FormatCount> table{{
        {QStringLiteral("FLV video - <b>240p</b>"), QStringLiteral("itag=5"), QString(), QString(),
         QString(), QStringLiteral(".flv"), true},
        {QStringLiteral("MP4 video - <b>Medium Quality</b>") + IfAvailable,
         QStringLiteral("itag=18"),
         question("Unable to download Normal Quality version of this video.",
                  "Should I try to download the 240p version?"),
         QString(), QString(), QStringLiteral(".mp4"), false},
        {QStringLiteral("FLV video - <b>HQ 360p</b>"), QStringLiteral("itag=34"),
         question("Unable to download High Quality version of this video.",
                  "Should I try to download the AVI Normal Quality version?"),
         QStringLiteral("_(360p)"), QStringLiteral(" (HQ 360p)"), QStringLiteral(".flv"), true},
        {QStringLiteral("FLV video - <b>HQ 480p</b>") + IfAvailable, QStringLiteral("itag=35"),
         question("Unable to download HQ (480p) version of this video.",
                  "Should I try to download 360p version?"),
         QStringLiteral("_(480p)"), QStringLiteral(" (HQ 468p)"), QStringLiteral(".flv"), true},
        {QStringLiteral("MP4 video - <b>HD (720p)</b>") + IfAvailable, QStringLiteral("itag=22"),
         question("Unable to download HD (720p) version of this video.",
                  "Should I try to download the High Quality (480p) version?"),
         QStringLiteral("_(720p)"), QStringLiteral(" (HD)"), QStringLiteral(".mp4"), false},
        {QStringLiteral("MP4 video - <b>Full HD (1080p)</b>") + IfAvailable,
         QStringLiteral("itag=37"),
         question("Unable to download FullHD (1080p) version of this video.",
                  "Should I try to download the HD (720p) version?"),
         QStringLiteral("_(1080p)"), QStringLiteral(" (FullHD)"), QStringLiteral(".mp4"), false},
    }};
    return table;
}

const VideoFormat *formatAt(int index)
{
    if (index < 0 || index >= FormatCount)
        return nullptr;
    return &FormatTable()[static_cast<std::size_t>(index)];
}

bool isConvertibleFormat(int index)
{
    const VideoFormat *format = formatAt(index);
    return format != nullptr && format->Convertible;
}
