#pragma once

#include <QtGlobal>

// What a request's progress receiver tells the client after a work step or a
// quiet wait.
enum class WorkAnswer
{
    GoOn,
    Stop, // the client ends the request itself
};

// Whose body a work begin is for.
enum class WorkBody
{
    Answer,   // the final answer's, which goes to the sink
    Redirect, // a redirect's that is followed, read aside
    Error,    // an error status's, read aside
};

// The work events of one request: a begin before each response body
// (redirects' and error statuses' bodies included), a step after each piece
// of it, an end after it (also when reading it failed).
class HttpProgress
{
public:
    virtual ~HttpProgress() = default;
    // announced: the Content-Length, or 0 for a chunked body or one read until
    // close. offset: where the body begins in the resource, the bytes the
    // caller held when a 206 continues them; 0 for every other body.
    virtual void workBegins(qint64 announced, qint64 offset, WorkBody body) = 0;
    // received: the body's bytes so far. The piece is already with the sink.
    virtual WorkAnswer workStep(qint64 received) = 0;
    virtual void workEnds() {}
    // After every wait slice that brought nothing, so that a stop also ends a
    // wait on a server that has gone quiet.
    virtual WorkAnswer quietSlice() { return WorkAnswer::GoOn; }
};
