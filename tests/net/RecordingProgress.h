#pragma once

#include "QtPrinters.h"
#include "net/HttpClient.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

// Logs a request's work events as text lines, in order; a test may act
// inside a work step through onWork, whose answer (Stop) ends the request.
class RecordingProgress : public HttpProgress
{
public:
    QStringList events;
    std::function<WorkAnswer(qint64)> onWork;
    std::function<bool()> wantsStop; // asked after each quiet wait slice
    qint64 largestStep = 0;
    qint64 lastCount = 0;

    QList<qint64> offsets; // of each body's begin
    void workBegins(qint64 max, qint64 offset, WorkBody) override
    {
        events.append(QStringLiteral("begin 0 %1").arg(max));
        offsets.append(offset);
        lastCount = 0;
    }
    WorkAnswer workStep(qint64 count) override
    {
        if (events.isEmpty() || !events.last().startsWith(QLatin1String("work")))
            events.append(QStringLiteral("work 0"));
        largestStep = std::max(largestStep, count - lastCount);
        lastCount = count;
        return onWork ? onWork(count) : WorkAnswer::GoOn;
    }
    void workEnds() override { events.append(QStringLiteral("end 0 at %1").arg(lastCount)); }
    WorkAnswer quietSlice() override
    {
        return wantsStop && wantsStop() ? WorkAnswer::Stop : WorkAnswer::GoOn;
    }
};

// A sink that keeps what it was given and can refuse to start.
class MemorySink : public HttpBodySink
{
public:
    QByteArray data;
    QList<qint64> announced;
    bool refuse = false;
    bool bodyBegins(qint64 length) override
    {
        announced.append(length);
        return !refuse;
    }
    bool write(const char *bytes, qint64 size) override
    {
        data.append(bytes, size);
        return true;
    }
};
