#include "app/CloseOnSignal.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> Signals{SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but a static; only this file touches it.
std::atomic<int> g_writeEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free);
std::array<struct sigaction, Signals.size()> g_previous;

extern "C" void onEndRequest(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd.load(), &byte, 1);
    // The next request is not asked twice: a stuck close must not keep the program.
    for (const int number : Signals)
        std::signal(number, SIG_DFL);
    errno = saved;
}

} // namespace

CloseOnSignal::CloseOnSignal(std::function<void()> close, QObject *parent)
    : QObject(parent)
    , m_close(std::move(close))
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_readEnd = ends[0];
    g_writeEnd.store(ends[1]);
    m_notifier = std::make_unique<QSocketNotifier>(m_readEnd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CloseOnSignal::onSignal);

    struct sigaction action = {};
    action.sa_handler = &onEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &action, &g_previous[i]);
}

CloseOnSignal::~CloseOnSignal()
{
    if (m_readEnd < 0)
        return;
    for (size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    ::close(g_writeEnd.exchange(-1));
    ::close(m_readEnd);
}

void CloseOnSignal::onSignal()
{
    char bytes[16];
    while (::read(m_readEnd, bytes, sizeof bytes) > 0) {
    }
    if (m_close)
        m_close();
}
