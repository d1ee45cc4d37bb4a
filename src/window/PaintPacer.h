#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Keeps the window's message passes from painting more often than a screen
// shows frames. A transfer runs a pass for every piece received, thousands a
// second, and the status line changes each time: painting every one of them
// costs more than the transfer itself. Within a pass that comes too soon after
// the last paint, the paint waits (at most one frame); nothing else waits, and
// paints outside the passes (repaint(), the idle event loop) are left alone.
class PaintPacer final : public QObject
{
public:
    static constexpr int FrameMs = 16;

    explicit PaintPacer(QWidget &window);

    // Runs `pass` with pacing on.
    template <typename Pass> void pacedPass(Pass &&pass)
    {
        ++m_passDepth; // passes may nest: a handler inside one can run another
        pass();
        --m_passDepth;
    }
    int deferredPaints() const { return m_deferred; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintOwed();

    QWidget &m_window;
    QElapsedTimer m_sincePaint;
    QTimer m_owed;
    int m_passDepth = 0;
    int m_deferred = 0;
};
