#pragma once

#include <QtGlobal>

enum TWorkMode
{
    wmRead,
    wmWrite
};

// The client's work events: one begin before each response body, a step after
// each piece of it, an end after it (also when reading it failed).
class HttpWorkListener
{
public:
    virtual ~HttpWorkListener() = default;
    virtual void IdHTTP1WorkBegin(TWorkMode AWorkMode, qint64 AWorkCountMax) = 0;
    virtual void IdHTTP1Work(TWorkMode AWorkMode, qint64 AWorkCount) = 0;
    virtual void IdHTTP1WorkEnd(TWorkMode AWorkMode) = 0;
    // Asked after every wait slice that brought nothing, so that a Stop or a
    // window close also ends a wait on a server that has gone quiet.
    virtual bool shouldDisconnect() const { return false; }
};
