#include "FlakyFault.h"

#include <algorithm>

namespace {

qint64 numberOf(const ServiceRequest &request, QByteArrayView key, qint64 fallback)
{
    const auto value = request.queryValue(key);
    bool ok = false;
    const qint64 parsed = value ? value->toLongLong(&ok) : 0;
    return ok && parsed >= 0 ? parsed : fallback;
}

} // namespace

int FlakyFault::failingGets(const ServiceRequest &request, int resourceDefault)
{
    return int(std::min<qint64>(numberOf(request, "flaky", resourceDefault), 1 << 30));
}

void FlakyFault::apply(const ServiceRequest &request, ServiceReply &reply)
{
    const QByteArray mode = request.queryValue("flakymode").value_or(QByteArray("cut"));
    if (mode == "status") {
        const qint64 status = numberOf(request, "flakystatus", 503);
        reply = ServiceReply::statusPage(status >= 100 && status <= 999 ? int(status) : 503);
    } else {
        const qint64 at = numberOf(request, "flakyat", reply.body.size() / 2);
        if (mode == "reset")
            reply.resetAfter = at;
        else if (mode == "stall")
            reply.stallAfter = at;
        else
            reply.cutAfter = at;
    }
    if (const qint64 seconds = numberOf(request, "retryafter", -1); seconds >= 0)
        reply.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray::number(seconds)));
}

bool FlakyFault::isFlakyKey(QByteArrayView key)
{
    for (const char *flakyKey : {"flaky", "flakyat", "flakymode", "flakystatus", "retryafter"}) {
        if (key == flakyKey)
            return true;
    }
    return false;
}
