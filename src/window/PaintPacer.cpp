#include "window/PaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

PaintPacer::PaintPacer(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    m_owed.setSingleShot(true);
    connect(&m_owed, &QTimer::timeout, this, &PaintPacer::paintOwed);
    window.installEventFilter(this);
}

bool PaintPacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_window || event->type() != QEvent::UpdateRequest)
        return false;
    if (m_passDepth > 0 && m_sincePaint.isValid() && m_sincePaint.elapsed() < FrameMs) {
        // Qt asks for no further paint until this one is handled: the timer
        // hands it back once the frame is over.
        ++m_deferred;
        if (!m_owed.isActive())
            m_owed.start(int(FrameMs - m_sincePaint.elapsed()));
        return true;
    }
    m_owed.stop();
    m_sincePaint.start();
    return false;
}

void PaintPacer::paintOwed()
{
    QCoreApplication::postEvent(&m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
