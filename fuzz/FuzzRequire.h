#pragma once

#include <QtGlobal>

#include <cstdio>

// A promise a parser makes for every input. A broken one stops the run like a
// crash, so libFuzzer saves the input as a reproducer.
#define FUZZ_REQUIRE(condition)                                                                    \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "Property broken: %s\n  at %s:%d\n", #condition, __FILE__,        \
                         __LINE__);                                                                \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (false)

// Qt's warnings (an out-of-range colour, say) are expected on odd input and
// would only slow the run down.
inline void silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}
