#include "app/CloseOnSignal.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <csignal>
#include <gtest/gtest.h>

namespace {

constexpr int WaitGuardMs = 10000; // failure guard only

void (*handlerOf(int signal))(int)
{
    struct sigaction now = {};
    sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

extern "C" void ignoreForTest(int) {}

TEST(CloseOnSignal, EachEndRequestClosesOnceFromTheEventLoopThenTheNextEndsTheProgram)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        struct sigaction before = {};
        before.sa_handler = &ignoreForTest;
        sigemptyset(&before.sa_mask);
        sigaction(signal, &before, nullptr);
        {
            int closes = 0;
            CloseOnSignal closer([&closes] { ++closes; });
            ASSERT_EQ(::raise(signal), 0);
            // The handler only wakes the event loop; the close waits for it.
            EXPECT_EQ(closes, 0);
            const QDeadlineTimer guard(WaitGuardMs);
            while (closes == 0 && !guard.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            EXPECT_EQ(closes, 1);
            // A close that hangs must not hold the program: the next request ends it.
            for (const int other : {SIGTERM, SIGINT, SIGHUP})
                EXPECT_EQ(handlerOf(other), SIG_DFL) << other;
        }
        EXPECT_EQ(handlerOf(signal), &ignoreForTest);
        std::signal(signal, SIG_DFL);
    }
}

} // namespace
