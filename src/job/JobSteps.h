#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The steps a job hands off to. The window and the console front end plug in
// the real lookup, transfer and conversion; tests plug in fakes.

// Who fetches a found stream: the program's own transfer, or the external
// extractor (fragmented formats, video and audio to merge).
enum class StreamFetch
{
    OwnTransfer,
    Extractor,
};

// One video of a list a link holds: its own link, and what the list's archive
// knows it by (its id, or its link when it has none).
struct ListEntry
{
    QString Link;
    QString Key;
};

// How the external extractor failed, for the words of the failure: its own
// error line (empty when it gave none), its version (empty when it named
// none), and whether that version is old enough that an update may help.
struct ExtractorFailure
{
    QString line;
    QString version;
    bool stale = false;
};

// What the lookup found: the stream URL (empty: nothing to download), the
// title-based SaveFileName and the dated DefaultName. The external extractor's
// route also gives the stream's own request headers or, for a stream it must
// fetch itself, its format selection (StreamUrl then holds the video's link).
struct ResolvedVideo
{
    QString StreamUrl;
    QString SaveFileName;
    QString DefaultName;
    StreamFetch Fetch = StreamFetch::OwnTransfer;
    QList<std::pair<QByteArray, QByteArray>> StreamHeaders{}; // name, value
    QString ExtractorFormat{};                                // the extractor's format selection
    QString ExtractorMergeFormat{}; // container of a merge; empty when none
    QString FailureReason{};        // one line on why nothing was found; may be empty
    QString PageLink{};             // the link the extractor described; empty: the built-in route
    // ".m4a" or ".mp3": the audio row's file is taken out of the download afterwards.
    QString AudioTarget{};
    bool CopiesAudio = false; // the download's audio is AAC, copied as it is
    // A link that holds a list of videos: nothing to download itself, but its
    // entries, saved into a subfolder of this name.
    QString ListFolder{};
    QList<ListEntry> ListEntries{};
    // Set when the external extractor was asked and failed.
    std::optional<ExtractorFailure> ExtractorFailed{};
    // The extractor's answer on the video, which its own download reads
    // instead of the page; empty: it reads the page.
    QByteArray ExtractorInfoJson{};
};

class VideoResolver
{
public:
    virtual ~VideoResolver() = default;
    virtual ResolvedVideo ResolveVideo(const QString &link) = 0;
    // Whether a link that holds a list gives the list (ListEntries) or, when
    // not, the one video it names, else its first.
    virtual void offerLists(bool) {}
};

// How a transfer ended.
enum class TransferResult
{
    Done,           // the transfer counts as done
    Failed,         // the failure the job reports as "Unable to download this video."
    Stopped,        // ended by the user's Stop, and nothing counts as done
    FileInUse,      // another program is saving a file of that name
    DiskFull,       // the disk has no room for the video
    TargetIsFolder, // a folder stands where the file goes
    PartIsFolder,   // a folder stands where its partial file goes
};

class FileTransfer
{
public:
    virtual ~FileTransfer() = default;
    // Copies the stream into the file at path.
    virtual TransferResult DownloadToFile(const QString &url, const QString &path) = 0;
    // The found video into the file at path, by whichever way it must be fetched.
    virtual TransferResult DownloadVideo(const ResolvedVideo &video, const QString &path)
    {
        return DownloadToFile(video.StreamUrl, path);
    }
};

// What the conversion workflow needs from the job.
struct ConversionOrder
{
    QString SaveDir;         // the save folder, ending with "/"
    QString SaveFileName;    // the downloaded file in it
    QString DefaultName;     // the dated name used while staging
    QString TargetExtension; // ".avi" or ".mp4"
    QString ConverterDir;    // where the converter copy goes, ending with "/"
    QString WorkingDir;      // the converter's current folder (AppDir)
    QString TempDir;         // where the download is staged; empty: not staged
    bool CopyAudio = false;  // the audio is copied as it is, not encoded
};

enum class ConversionOutcome
{
    Finished,         // converted, or stopped with the job
    ConverterMissing, // the converter could not be written: nothing ran
    ConverterFailed,  // the converter failed or could not start; the download keeps its name
};

class ConversionStep
{
public:
    virtual ~ConversionStep() = default;
    // Runs once the job is converting; errors it cannot handle propagate.
    virtual ConversionOutcome RunConversion(const ConversionOrder &order) = 0;
};

// Whether the HTTP client lets window events through while it waits.
class AntiFreeze
{
public:
    virtual ~AntiFreeze() = default;
    virtual void setAntiFreezeActive(bool active) = 0;
};

// How an update of the managed extractor copy ended.
enum class ExtractorUpdateOutcome
{
    Updated,         // the release is installed in place of what was there
    Current,         // the copy there is the release's already
    ChecksumRefused, // the download does not match the release's checksum: refused
    NetworkFailed,   // the release or its checksum could not be fetched
    DiskFailed,      // the copy could not be written or put in place
    NotRunnable,     // the new copy does not run here: refused
    Stopped,         // the user stopped it
};

// What an update did, for its texts. A refused or failed update leaves the
// copy there as it was.
struct ExtractorUpdateReport
{
    ExtractorUpdateOutcome outcome = ExtractorUpdateOutcome::NetworkFailed;
    QString oldVersion; // of the copy there before; empty when there was none
    QString newVersion; // of the release; empty when not known
    QString path;       // the managed copy
    QString releases;   // the release folder asked
    QString detail;     // the reason in the system's or the server's words
    // The program that runs after the update when it is not the managed copy
    // (a setting or an option names another); empty otherwise.
    QString otherInUse;
    bool routeOff = false; // the settings turn the extractor off instead
};

// The external extractor a job would run, and its version.
struct ExtractorInUse
{
    QString program;  // empty: none found, or the route is off
    QString version;  // empty: it named none
    bool off = false; // the setting or the option turned the route off
};

// The extractor's upkeep besides a download: its update, which runs as a job
// of its own, and what is in use.
class ExtractorUpkeep
{
public:
    virtual ~ExtractorUpkeep() = default;
    virtual ExtractorUpdateReport UpdateExtractor() = 0;
    virtual ExtractorInUse DescribeExtractor() = 0;
};

struct JobSteps
{
    VideoResolver &resolver;
    FileTransfer &transfer;
    ConversionStep &conversion;
    AntiFreeze &antiFreeze;
};
