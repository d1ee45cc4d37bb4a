#pragma once

#include "job/JobSteps.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Why a transfer waits before trying again.
enum class RetryCause
{
    ServerError,      // a status that says "later"
    ConnectionFailed, // no connection, or no answer
    ConnectionLost,   // the body was cut
};

struct RetryWait
{
    RetryCause cause = RetryCause::ConnectionLost;
    int status = 0;     // the server's status, for ServerError
    qint64 seconds = 0; // left before the next attempt, counted down
    int attempt = 2;    // the attempt that follows; 2 is the first retry
    int attempts = 1;   // all there may be
};

// A failure a step meets while it runs; the job goes on to its end.
enum class StepFailure
{
    ConverterNotStarted, // detail: the system's reason
    ConversionFailed,    // the converter ended without converting
    ConvertedNotKept,    // detail: where the converted file was left instead
};

// What a step tells the job as it goes: values only. The words, the window
// and the order of its calls are the job's (JobReporter).
class JobReport
{
public:
    virtual ~JobReport() = default;

    // A response body of the download begins; total is the whole file's
    // length, 0 when unknown. Redirects' bodies begin too.
    virtual void transferBegins(qint64 total) = 0;
    // A fragmented download's estimate of the whole length moved.
    virtual void transferTotalChanges(qint64 total) = 0;
    // The whole file's bytes held so far; the window then handles its events once.
    virtual void transferProgress(qint64 done) = 0;
    virtual void retryWaits(const RetryWait &wait) = 0;

    // The converter named its input's length: seconds, and its own text for it.
    virtual void conversionStarts(qint32 duration, const QString &durationText) = 0;
    virtual void conversionProgress(qint32 seconds) = 0;

    virtual void stepFailed(StepFailure failure, const QString &detail) = 0;
    // Subtitles were asked in languages the video has none in; no failure.
    virtual void subtitlesMissing(const QStringList &languages) = 0;
    // The external extractor failed the download it fetches itself; the
    // transfer's failure that follows says it in these words.
    virtual void extractorFailed(const ExtractorFailure &) {}
};
