#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Keeps the window's message passes from painting more often than a screen
// shows frames. A transfer runs a pass for every piece received, thousands a
// second, and the status line changes each time: painting every one of them
// costs more than the transfer itself. Within a pass that comes too soon after
// the last paint, the paint waits (at most one frame) and comes by itself;
// nothing else waits. Paints asked for outside the passes (the job's own
// repaint() calls, the idle event loop, modal boxes) are left alone.
class PaintPacer final : public QObject
{
public:
    static constexpr int FrameMs = 16;

    explicit PaintPacer(QWidget &window);

    // Runs `pass` with pacing on.
    template <typename Pass> void pacedPass(Pass &&pass)
    {
        // Passes may nest: a handler inside one can run another.
        struct Depth
        {
            int &depth;
            explicit Depth(int &d)
                : depth(++d)
            {}
            ~Depth() { --depth; }
        } inPass(m_passDepth);
        pass();
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
