#include "cli/InterruptCounter.h"

#include <atomic>
#include <csignal>

namespace {

// A signal handler can reach nothing but a static; only this file touches it.
std::atomic<int> g_presses{0};
static_assert(std::atomic<int>::is_always_lock_free);

struct sigaction g_previous;

extern "C" void onInterrupt(int)
{
    if (g_presses.fetch_add(1, std::memory_order_relaxed) >= 1)
        std::signal(SIGINT, SIG_DFL);
}

} // namespace

InterruptCounter::InterruptCounter()
{
    g_presses.store(0);
    struct sigaction action = {};
    action.sa_handler = &onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking read of an answer returns so the press is seen.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &g_previous);
}

InterruptCounter::~InterruptCounter()
{
    sigaction(SIGINT, &g_previous, nullptr);
}

int InterruptCounter::take()
{
    const int total = g_presses.load(std::memory_order_relaxed);
    const int fresh = total - m_seen;
    m_seen = total;
    return fresh;
}
