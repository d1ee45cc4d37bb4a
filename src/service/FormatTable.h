#pragma once

#include <QString>

#include <array>
#include <iterator>

// One row of the format list as it is written once, below; every table of
// the program (the list, the console's names, the extractor's bands) is
// made from these rows, so a new format is one new row.
struct FormatRow
{
    const char *caption; // list item with caption markup
    bool ifAvailable;    // the caption ends with the red "- if available" note
    int itag;            // the service's stream code
    const char *missing; // the step-down question's two sentences; none for row 0
    const char *offer;   //
    const char *feedSuffix;
    const char *pageSuffix;
    const char *extension; // ".flv" or ".mp4"
    bool convertible;      // FLV downloads may be converted to AVI or MP4
    const char *consoleName;
    int band;     // the height band it asks of the extractor's formats
    bool mp4Only; // and the MP4 container
};

// In the order of the format list.
inline constexpr FormatRow FormatRows[] = {
    {"FLV video - <b>240p</b>", false, 5, nullptr, nullptr, "", "", ".flv", true, "240p", 240,
     false},
    {"MP4 video - <b>Medium Quality</b>", true, 18,
     "Unable to download Normal Quality version of this video.",
     "Should I try to download the 240p version?", "", "", ".mp4", false, "medium", 360, true},
    {"FLV video - <b>HQ 360p</b>", false, 34,
     "Unable to download High Quality version of this video.",
     "Should I try to download the AVI Normal Quality version?", "_(360p)", " (HQ 360p)", ".flv",
     true, "360p", 360, false},
    {"FLV video - <b>HQ 480p</b>", true, 35, "Unable to download HQ (480p) version of this video.",
     "Should I try to download 360p version?", "_(480p)", " (HQ 468p)", ".flv", true, "480p", 480,
     false},
    {"MP4 video - <b>HD (720p)</b>", true, 22,
     "Unable to download HD (720p) version of this video.",
     "Should I try to download the High Quality (480p) version?", "_(720p)", " (HD)", ".mp4", false,
     "720p", 720, true},
    {"MP4 video - <b>Full HD (1080p)</b>", true, 37,
     "Unable to download FullHD (1080p) version of this video.",
     "Should I try to download the HD (720p) version?", "_(1080p)", " (FullHD)", ".mp4", false,
     "1080p", 1080, true},
};

inline constexpr int FormatCount = int(std::size(FormatRows));
inline constexpr int InitialFormatIndex = 2;

// One of the download formats, in the order of the format list.
struct VideoFormat
{
    QString ListCaption;      // list item, with caption markup
    QString ItagText;         // "itag=" + stream code, searched in stream entries
    QString StepDownQuestion; // asked when the stream is missing; empty for index 0
    QString FeedSuffix;       // appended to a title read from the data-API feed
    QString PageSuffix;       // appended to a title read from the fallback page
    QString FileExtension;    // ".flv" or ".mp4"
    bool Convertible;         // FLV downloads may be converted to AVI or MP4
    QString ConsoleName;      // the row's name for vidlark-cli --format
    int HeightBand;           // lines asked of the extractor's formats
    bool Mp4Only;             // the extractor's format must be MP4
};

const std::array<VideoFormat, FormatCount> &FormatTable();

// The row of an index, or nullptr outside the table.
const VideoFormat *formatAt(int index);

// True for the FLV formats (0, 2 and 3).
bool isConvertibleFormat(int index);
