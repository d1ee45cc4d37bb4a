#pragma once

#include <QString>

// The three steps a job hands off to. The window and the console front end
// plug in the real lookup, transfer and conversion; tests plug in fakes.

class VideoResolver
{
public:
    virtual ~VideoResolver() = default;
    // Turns a link into a stream URL (empty: nothing to download), the
    // title-based SaveFileName and the dated DefaultName. Raises nothing.
    virtual void ResolveVideo(const QString &link, QString &StreamUrl, QString &SaveFileName,
                              QString &DefaultName) = 0;
};

class FileTransfer
{
public:
    virtual ~FileTransfer() = default;
    // Copies the stream into the file at path; true when the transfer counts as done.
    virtual bool DownloadToFile(const QString &url, const QString &path) = 0;
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
    Finished,        // converted, stopped, or the converter program was missing
    ConverterFailed, // the converter failed or could not start; the download keeps its name
};

class ConversionStep
{
public:
    virtual ~ConversionStep() = default;
    // Runs after DownloadState has become dsConverting. May set dsStopRequested
    // after a failure it has shown itself; errors it cannot handle propagate.
    virtual ConversionOutcome RunConversion(const ConversionOrder &order) = 0;
};
