#include "steps/RetryPolicy.h"

#include <algorithm>

std::chrono::milliseconds RetryPolicy::delayBefore(int next, const HttpResult &failed) const
{
    using std::chrono::milliseconds;
    if (failed.failure == HttpFailure::Status && failed.retryAfter >= 0) {
        // Clamped in seconds first: a server may ask for more than a duration holds.
        const auto cap = std::chrono::ceil<std::chrono::seconds>(retryAfterCap);
        const auto asked = std::chrono::seconds(std::min<qint64>(failed.retryAfter, cap.count()));
        return std::min<milliseconds>(asked, retryAfterCap);
    }
    milliseconds delay = firstDelay;
    for (int n = 2; n < next && delay < maxDelay; ++n)
        delay *= 2;
    return std::min(delay, maxDelay);
}

bool isTransient(const HttpResult &result)
{
    switch (result.failure) {
    case HttpFailure::Network:
    case HttpFailure::Cut:
        return true;
    case HttpFailure::Status:
        switch (result.status) {
        case 408:
        case 429:
        case 500:
        case 502:
        case 503:
        case 504:
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}
