#pragma once

#include "job/Clock.h"

#include <deque>

// The one clock of the tests: reads `now`, or first the scripted ticks, one a
// read, after which the last of them stays.
class FakeClock final : public Clock
{
public:
    mutable quint32 now = 0;
    mutable std::deque<quint32> ticks;

    quint32 tickCount() const override
    {
        if (!ticks.empty()) {
            now = ticks.front();
            ticks.pop_front();
        }
        return now;
    }
};
