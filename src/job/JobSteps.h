#pragma once

#include <QString>

// The steps a job hands off to. The window and the console front end plug in
// the real lookup, transfer and conversion; tests plug in fakes.

// What the lookup found: the stream URL (empty: nothing to download), the
// title-based SaveFileName and the dated DefaultName.
struct ResolvedVideo
{
    QString StreamUrl;
    QString SaveFileName;
    QString DefaultName;
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
    Done,      // the transfer counts as done
    Failed,    // the failure the job reports as "Unable to download this video."
    FileInUse, // another program is saving a file of that name
};

class FileTransfer
{
public:
    virtual ~FileTransfer() = default;
    // Copies the stream into the file at path.
    virtual TransferResult DownloadToFile(const QString &url, const QString &path) = 0;
};

// What the conversion workflow needs from the job.
struct ConversionOrder
{
    QString SaveDir;         // the save folder, ending with "/"
    QString SaveFileName;    // the downloaded file in it
    QString DefaultName;     // the dated name used while staging
    QString TargetExtension; // ".avi" or ".mp4"
};

enum class ConversionOutcome
{
    Finished,         // converted, or stopped with the job
    ConverterMissing, // shown by the workflow, which has set dsStopRequested
    ConverterFailed,  // the converter failed or could not start; the download keeps its name
};

class ConversionStep
{
public:
    virtual ~ConversionStep() = default;
    // Runs after DownloadState has become dsConverting; errors it cannot
    // handle propagate.
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
