#include "job/Clock.h"

#include <chrono>

quint32 SteadyClock::tickCount() const
{
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
    return static_cast<quint32>(static_cast<quint64>(ms));
}
