#include "service/FormatTable.h"

#include <algorithm>

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
            row.itag > 0 ? QStringLiteral("itag=%1").arg(row.itag) : QString(),
            question,
            latin1(row.feedSuffix),
            latin1(row.pageSuffix),
            latin1(row.extension),
            row.convertible,
            latin1(row.consoleName),
            row.band,
            row.mp4Only,
            row.stepDown,
            row.kind};
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

int formatNamed(const QString &name)
{
    for (int i = 0; i < FormatCount; ++i) {
        if (QLatin1String(FormatRows[i].consoleName).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QList<int> rowsByQuality()
{
    QList<int> rows;
    for (int i = 0; i < FormatCount; ++i) {
        if (FormatRows[i].kind == RowKind::Video && FormatRows[i].itag > 0 &&
            rowOfStreamCode(FormatRows[i].itag) == i)
            rows.append(i);
    }
    std::stable_sort(rows.begin(), rows.end(), [](int a, int b) {
        return FormatRows[a].band != FormatRows[b].band ? FormatRows[a].band > FormatRows[b].band
                                                        : a > b;
    });
    return rows;
}

int rowOfStreamCode(int itag)
{
    int row = -1;
    for (int i = 0; i < FormatCount; ++i) {
        if (FormatRows[i].itag == itag && (row < 0 || FormatRows[i].band > FormatRows[row].band))
            row = i;
    }
    return row;
}
