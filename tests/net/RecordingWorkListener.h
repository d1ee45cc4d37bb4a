#pragma once

#include "net/HttpClient.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// Logs the client's work events as text lines, in order; a test may act
// inside a work step (for instance disconnect) through onWork.
class RecordingWorkListener : public HttpWorkListener
{
public:
    QStringList events;
    std::function<void(qint64)> onWork;
    std::function<bool()> wantsDisconnect;
    qint64 largestStep = 0;
    qint64 lastCount = 0;

    void IdHTTP1WorkBegin(TWorkMode mode, qint64 max) override
    {
        events.append(QStringLiteral("begin %1 %2").arg(int(mode)).arg(max));
        lastCount = 0;
    }
    void IdHTTP1Work(TWorkMode mode, qint64 count) override
    {
        if (events.isEmpty() || !events.last().startsWith(QLatin1String("work")))
            events.append(QStringLiteral("work %1").arg(int(mode)));
        largestStep = std::max(largestStep, count - lastCount);
        lastCount = count;
        if (onWork)
            onWork(count);
    }
    void IdHTTP1WorkEnd(TWorkMode mode) override
    {
        events.append(QStringLiteral("end %1 at %2").arg(int(mode)).arg(lastCount));
    }
    bool shouldDisconnect() const override { return wantsDisconnect && wantsDisconnect(); }
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
