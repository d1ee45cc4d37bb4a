#pragma once

#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

// Holds senders to a byte rate: each piece waits for its turn. One pacer per
// answer caps a connection; one shared by the service's threads caps them all.
class RatePacer
{
public:
    // Waits until `bytes` more may go at `rate` bytes a second.
    void pace(qint64 bytes, qint64 rate, const std::atomic<bool> &stopping)
    {
        using namespace std::chrono;
        const auto now = steady_clock::now();
        steady_clock::time_point turn;
        {
            std::lock_guard lock(m_mutex);
            // An idle while earns no credit beyond a moment's.
            if (m_next < now - milliseconds(20))
                m_next = now;
            turn = m_next;
            m_next += duration_cast<steady_clock::duration>(duration<double>(double(bytes) / rate));
        }
        while (!stopping && steady_clock::now() < turn)
            std::this_thread::sleep_for(
                std::min<steady_clock::duration>(turn - steady_clock::now(), milliseconds(100)));
    }

private:
    std::mutex m_mutex;
    std::chrono::steady_clock::time_point m_next{};
};
