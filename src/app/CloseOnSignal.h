#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

// Closes the window as its close box does when the program is asked to end:
// SIGTERM (a session that ends, `kill`), SIGINT (Ctrl+C in the terminal that
// started it), SIGHUP (that terminal went away). The close writes the settings
// and lets a running job wind down; a second signal ends the program at once.
// The handler only writes to a pipe; the close runs from the event loop.
class CloseOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit CloseOnSignal(std::function<void()> close, QObject *parent = nullptr);
    ~CloseOnSignal() override; // restores the previous handlers
    CloseOnSignal(const CloseOnSignal &) = delete;
    CloseOnSignal &operator=(const CloseOnSignal &) = delete;

private:
    void onSignal();

    std::function<void()> m_close;
    int m_readEnd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
