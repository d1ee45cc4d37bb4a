#pragma once

#include <QtGlobal>

// A 32-bit millisecond tick count that wraps like the system's; replaceable in tests.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual quint32 tickCount() const = 0;
};

class SteadyClock final : public Clock
{
public:
    quint32 tickCount() const override;
};
