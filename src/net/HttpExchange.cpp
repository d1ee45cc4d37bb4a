// The callbacks of one hop: libcurl hands over the head line by line and the
// body piece by piece; they decide where the body goes and report its work.
#include "net/HttpExchange.h"

#include "net/BodyPieces.h"

size_t HttpClient::Exchange::headerCallback(char *data, size_t size, size_t count, void *user)
{
    auto &state = *static_cast<Exchange *>(user);
    const size_t bytes = size * count;
    try {
        state.onHeaderLine(data, bytes);
    } catch (...) {
        state.callbackError = std::current_exception();
        return 0;
    }
    return state.sinkFailed || state.mismatch ? 0 : bytes;
}

size_t HttpClient::Exchange::writeCallback(char *data, size_t size, size_t count, void *user)
{
    auto &state = *static_cast<Exchange *>(user);
    try {
        return state.onBody(data, size * count);
    } catch (...) {
        state.callbackError = std::current_exception();
        return 0;
    }
}

void HttpClient::Exchange::onHeaderLine(const char *data, size_t size)
{
    const QByteArrayView line(data, static_cast<qsizetype>(size));
    const bool wasComplete = head.complete;
    head.addLine(line);
    if (head.status != 0 && !head.isInformational() && !head.complete && line.startsWith("HTTP/"))
        client->m_responseCode = head.status;
    if (!head.complete || wasComplete)
        return;

    const int status = head.status;
    const bool redirect = status >= 300 && status < 400 && status != 304 && head.hasLocation;
    if (redirect && client->HandleRedirects && redirects + 1 < RedirectMaximum) {
        follow = true;
        target = Target::Aside;
    } else if ((status >= 200 && status < 300) || (redirect && takes == Takes::AnyFinal)) {
        target = Target::Caller;
    } else {
        target = Target::Aside;
    }

    // Every answer is judged: a plain GET takes a 206 only when it holds everything.
    qint64 offset = 0;
    if (target == Target::Caller) {
        switch (judgeRangeAnswer(head, request->range.value_or(RangeAsk{}))) {
        case RangeVerdict::Mismatch:
            mismatch = true;
            return;
        case RangeVerdict::Continues:
            offset = request->range->from;
            break;
        case RangeVerdict::Whole:
            break;
        }
    }
    if (target == Target::Caller && sink() && !sink()->responseBegins(head, offset)) {
        sinkFailed = true;
        return;
    }
    const bool hasBody =
        method != Method::Head && status != 204 && status != 304 && head.contentLength != 0;
    if (hasBody) {
        workBegun = true;
        if (progress())
            progress()->workBegins(head.chunked || head.contentLength < 0 ? 0 : head.contentLength,
                                   offset,
                                   target == Target::Caller ? WorkBody::Answer
                                   : follow                 ? WorkBody::Redirect
                                                            : WorkBody::Error);
    }
}

size_t HttpClient::Exchange::onBody(const char *data, size_t size)
{
    // libcurl hands over at most 16 KiB at a time however much it read; the
    // work step comes once a piece of MaxPiece bytes is complete, or when
    // libcurl returns with less (runTransfer), so nothing received waits.
    const bool taken = ForEachPiece(data, size, MaxPiece, [&](const char *bytes, size_t slice) {
        if (unreported + qint64(slice) > MaxPiece && !reportWork())
            return false;
        if (target == Target::Caller && sink() &&
            !sink()->write(bytes, static_cast<qint64>(slice))) {
            sinkFailed = true;
            return false;
        }
        received += static_cast<qint64>(slice);
        unreported += static_cast<qint64>(slice);
        return unreported < MaxPiece || reportWork();
    });
    return taken ? size : 0;
}

bool HttpClient::Exchange::reportWork()
{
    unreported = 0;
    if (progress() && progress()->workStep(received) == WorkAnswer::Stop) {
        stopped = true;
        return false;
    }
    if (client->m_antiFreeze)
        client->pumpEvents();
    return true;
}
