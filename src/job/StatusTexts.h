#pragma once

#include <QString>
#include <QtGlobal>

// A status line that reports progress, with the values it was made from, so
// that a front end may show more of them (a console adds speed and time left).
struct ProgressLine
{
    enum class Kind
    {
        Transfer,   // done and total are bytes
        Conversion, // done and total are seconds
    };
    QString text;
    Kind kind = Kind::Transfer;
    qint64 done = 0;
    qint64 total = 0; // 0 when unknown
};

// The status line, the status panel and the elapsed-time panel with its timer.
// Only the status line is shown by every front end.
class StatusTexts
{
public:
    virtual ~StatusTexts() = default;
    virtual void setStatusLine(const QString &text) = 0;
    // Rewritten for every piece of a transfer; the window shows it as any status line.
    virtual void setProgressLine(const ProgressLine &line) { setStatusLine(line.text); }
    // A failure's own line, right after its box said it; a console that
    // printed the box need not print it twice.
    virtual void setFailureLine(const QString &text) { setStatusLine(text); }
    virtual void setStatusPanel(const QString &) {}
    virtual void setElapsedPanel(const QString &) {}
    // While on, the timer asks for the elapsed time once a second.
    virtual void setTimerEnabled(bool) {}
};
