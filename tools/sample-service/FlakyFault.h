#pragma once

#include "ServiceReply.h"
#include "ServiceRequest.h"

// The fault of a flaky resource's early GETs, chosen by the query:
// flakymode=cut|reset|stall (the body ends after flakyat bytes of what this
// answer would send, default half of them) or flakymode=status (a flakystatus
// answer instead, default 503); retryafter=SECONDS adds a Retry-After header.
class FlakyFault
{
public:
    // How many GETs of the resource fail: the query's flaky=K, else the
    // resource's own count.
    static int failingGets(const ServiceRequest &request, int resourceDefault);
    static void apply(const ServiceRequest &request, ServiceReply &reply);
    // Whether a query key is one of those above, which leave the resource the same.
    static bool isFlakyKey(QByteArrayView key);
};
