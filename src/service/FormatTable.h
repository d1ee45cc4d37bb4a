#pragma once

#include <QString>

#include <array>

// One of the six download formats, in the order of the format list.
struct VideoFormat
{
    QString ListCaption;      // list item, with caption markup
    QString ItagText;         // "itag=" + stream code, searched in stream entries
    QString StepDownQuestion; // asked when the stream is missing; empty for index 0
    QString FeedSuffix;       // appended to a title read from the data-API feed
    QString PageSuffix;       // appended to a title read from the fallback page
    QString FileExtension;    // ".flv" or ".mp4"
    bool Convertible;         // FLV downloads may be converted to AVI or MP4
};

inline constexpr int FormatCount = 6;
inline constexpr int InitialFormatIndex = 2;

const std::array<VideoFormat, FormatCount> &FormatTable();

// The row of an index, or nullptr outside 0 to 5.
const VideoFormat *formatAt(int index);

// True for the FLV formats (0, 2 and 3).
bool isConvertibleFormat(int index);
