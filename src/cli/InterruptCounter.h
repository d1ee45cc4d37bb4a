#pragma once

// Counts Ctrl+C presses. The handler only bumps a lock-free counter; the job
// picks the presses up in its message passes, where it is safe to act on them.
// After the second press Ctrl+C ends the program at once, for a job stuck
// where it never passes messages.
class InterruptCounter
{
public:
    InterruptCounter();  // installs the handler
    ~InterruptCounter(); // restores the previous one
    InterruptCounter(const InterruptCounter &) = delete;
    InterruptCounter &operator=(const InterruptCounter &) = delete;

    // Presses since the last call.
    int take();

private:
    int m_seen = 0;
};
