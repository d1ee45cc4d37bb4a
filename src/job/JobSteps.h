#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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
    // The extractor's answer on the video, which its own download reads
    // instead of the page; empty: it reads the page.
    QByteArray ExtractorInfoJson{};
};

class VideoResolver
{
public:
    virtual ~VideoResolver() = default;
    virtual ResolvedVideo ResolveVideo(const QString &link) = 0;
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

struct JobSteps
{
    VideoResolver &resolver;
    FileTransfer &transfer;
    ConversionStep &conversion;
    AntiFreeze &antiFreeze;
};
