#pragma once

#include "net/HttpResult.h"

#include <chrono>

// How often and after what pause a download tries again after a failure that
// may pass: the network, a stall, a server that is busy or broken for a while.
struct RetryPolicy
{
    int attempts = 5;                           // the first one included
    std::chrono::milliseconds firstDelay{1000}; // doubled before each further attempt
    std::chrono::milliseconds maxDelay{30000};
    std::chrono::milliseconds retryAfterCap{60000}; // the most a server's Retry-After gets

    // The pause before attempt `next` (2 for the first retry) after `failed`.
    std::chrono::milliseconds delayBefore(int next, const HttpResult &failed) const;
};

// A failure another attempt may mend: no connection, a cut or reset, a stall,
// or one of the statuses that say "later".
bool isTransient(const HttpResult &result);
