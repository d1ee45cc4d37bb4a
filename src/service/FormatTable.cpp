#include "service/FormatTable.h"

namespace {

const QString IfAvailable = QStringLiteral("   <font color=\"#ff0000\">- if available</font>");

QString latin1(const char *text)
{
    return text ? QString::fromLatin1(text) : QString();
}

VideoFormat formatOf(const FormatRow &row)
{
    // The questions break their two sentences with LF CR, in that order.
    const QString question =
        row.missing ? latin1(row.missing) + QStringLiteral("\n\r") + latin1(row.offer) : QString();
    return {latin1(row.caption) + (row.ifAvailable ? IfAvailable : QString()),
            QStringLiteral("itag=%1").arg(row.itag),
            question,
            latin1(row.feedSuffix),
            latin1(row.pageSuffix),
            latin1(row.extension),
            row.convertible,
            latin1(row.consoleName),
            row.band,
            row.mp4Only};
}

} // namespace

const std::array<VideoFormat, FormatCount> &FormatTable()
{
    static const std::array<VideoFormat, FormatCount> table = [] {
        std::array<VideoFormat, FormatCount> formats;
        for (int i = 0; i < FormatCount; ++i)
            formats[std::size_t(i)] = formatOf(FormatRows[i]);
        return formats;
    }();
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
