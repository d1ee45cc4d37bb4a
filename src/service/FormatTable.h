#pragma once

#include <QList>
#include <QString>

#include <array>
#include <iterator>

// What a row saves.
enum class RowKind
{
    Video, // a stream of its own stream code, or of its height band
    Best,  // the highest video the link offers
    Audio, // the audio alone, taken from the best stream when none comes alone
};

// One row of the format list as it is written once, below; every table of
// the program (the list, the console's names, the extractor's bands) is
// made from these rows, so a new format is one new row.
struct FormatRow
{
    const char *caption; // list item with caption markup
    bool ifAvailable;    // the caption ends with the red "- if available" note
    int itag;            // the service's stream code; 0: none of its own
    const char *missing; // the step-down question's two sentences; none when nothing is offered
    const char *offer;   //
    const char *feedSuffix;
    const char *pageSuffix;
    const char *extension; // what the saved file ends in
    bool convertible;      // FLV downloads may be converted to AVI or MP4
    const char *consoleName;
    int band;     // the height band it asks of the extractor's formats
    bool mp4Only; // and the MP4 container
    int stepDown; // the row a missing one offers instead; -1: none
    RowKind kind;
};

// In the order of the format list.
inline constexpr FormatRow FormatRows[] = {
    {"FLV video - <b>240p</b>", false, 5, nullptr, nullptr, "", "", ".flv", true, "240p", 240,
     false, -1, RowKind::Video},
    {"MP4 video - <b>Medium Quality</b>", true, 18,
     "Unable to download Normal Quality version of this video.",
     "Should I try to download the 240p version?", "", "", ".mp4", false, "medium", 360, true, 0,
     RowKind::Video},
    {"FLV video - <b>HQ 360p</b>", false, 34,
     "Unable to download High Quality version of this video.",
     "Should I try to download the AVI Normal Quality version?", "_(360p)", " (HQ 360p)", ".flv",
     true, "360p", 360, false, 1, RowKind::Video},
    {"FLV video - <b>HQ 480p</b>", true, 35, "Unable to download HQ (480p) version of this video.",
     "Should I try to download 360p version?", "_(480p)", " (HQ 468p)", ".flv", true, "480p", 480,
     false, 2, RowKind::Video},
    {"MP4 video - <b>HD (720p)</b>", true, 22,
     "Unable to download HD (720p) version of this video.",
     "Should I try to download the High Quality (480p) version?", "_(720p)", " (HD)", ".mp4", false,
     "720p", 720, true, 3, RowKind::Video},
    {"MP4 video - <b>Full HD (1080p)</b>", true, 37,
     "Unable to download FullHD (1080p) version of this video.",
     "Should I try to download the HD (720p) version?", "_(1080p)", " (FullHD)", ".mp4", false,
     "1080p", 1080, true, 4, RowKind::Video},
    {"Best video - <b>best available</b>", false, 0, nullptr, nullptr, "", "", ".mp4", false,
     "best", 2160, false, -1, RowKind::Best},
    {"MP4 video - <b>2K (1440p)</b>", true, 38,
     "Unable to download 2K (1440p) version of this video.",
     "Should I try to download the Full HD (1080p) version?", "_(1440p)", " (2K)", ".mp4", false,
     "1440p", 1440, true, 5, RowKind::Video},
    {"MP4 video - <b>4K (2160p)</b>", true, 38,
     "Unable to download 4K (2160p) version of this video.",
     "Should I try to download the 2K (1440p) version?", "_(2160p)", " (4K)", ".mp4", false,
     "2160p", 2160, true, 7, RowKind::Video},
    {"Audio only - <b>M4A</b>", false, 0, "Unable to download M4A audio of this video.",
     "Should I try to download the MP3 version?", "_(audio)", " (audio)", ".m4a", false, "m4a", 0,
     false, 10, RowKind::Audio},
    {"Audio only - <b>MP3</b>", false, 0, nullptr, nullptr, "_(audio)", " (audio)", ".mp3", false,
     "mp3", 0, false, -1, RowKind::Audio},
};

inline constexpr int FormatCount = int(std::size(FormatRows));
inline constexpr int InitialFormatIndex = 2;

// One of the download formats, in the order of the format list.
struct VideoFormat
{
    QString ListCaption;      // list item, with caption markup
    QString ItagText;         // "itag=" + stream code, searched in stream entries; empty: none
    QString StepDownQuestion; // asked when the stream is missing; empty when nothing is offered
    QString FeedSuffix;       // appended to a title read from the data-API feed
    QString PageSuffix;       // appended to a title read from the fallback page
    QString FileExtension;    // what the saved file ends in
    bool Convertible;         // FLV downloads may be converted to AVI or MP4
    QString ConsoleName;      // the row's name for vidlark-cli --format
    int HeightBand;           // lines asked of the extractor's formats
    bool Mp4Only;             // the extractor's format must be MP4
    int StepDownTo;           // the row a missing one offers instead; -1: none
    RowKind Kind;
};

const std::array<VideoFormat, FormatCount> &FormatTable();

// The row of an index, or nullptr outside the table.
const VideoFormat *formatAt(int index);

// True for the FLV formats (0, 2 and 3).
bool isConvertibleFormat(int index);

// The row of a console name ("240p", "best", "mp3", ...), or -1.
int formatNamed(const QString &name);

// The video rows that have a stream code, highest first: the order in which
// "best" looks for a stream; a code two rows share counts once, as the
// higher of them (the 4K code is the 2160p row's).
QList<int> rowsByQuality();

// The row a stream code really stands for: the highest that asks for it.
int rowOfStreamCode(int itag);
