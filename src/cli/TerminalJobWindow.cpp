#include "cli/TerminalJobWindow.h"

#include "cli/CliOptions.h"
#include "cli/TerminalText.h"
#include "job/Clock.h"
#include "job/ProgramState.h"

#include <QCoreApplication>
#include <QTextStream>

#include <utility>

namespace {

constexpr quint32 ProgressIntervalMs = 100; // at most ten progress lines a second

// The boxes break lines with LF CR; a terminal wants one line feed.
QString boxText(QString text)
{
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return TerminalText(text, true);
}

} // namespace

TerminalJobWindow::TerminalJobWindow(ProgramState &state, const CliOptions &options,
                                     Terminal terminal, const Clock &clock)
    : m_state(state)
    , m_options(options)
    , m_terminal(std::move(terminal))
    , m_clock(clock)
    , m_format(options.format)
{}

int TerminalJobWindow::formatIndex() const
{
    return m_format;
}

void TerminalJobWindow::setFormatIndex(int index)
{
    m_format = index;
}

bool TerminalJobWindow::askStepDown(const QString &question)
{
    endProgressLine();
    QTextStream &err = *m_terminal.err;
    err << boxText(question);
    bool answer = false;
    if (m_options.answer) {
        answer = *m_options.answer;
        err << (answer ? " Yes\n" : " No\n");
    } else if (m_terminal.inIsTerminal && m_terminal.readLine) {
        err << " [y/N] " << Qt::flush;
        const std::optional<QString> line = m_terminal.readLine();
        answer = line && line->trimmed().startsWith(QLatin1Char('y'), Qt::CaseInsensitive);
        if (!line)
            err << "No\n";
    } else {
        err << " No\n";
    }
    err << Qt::flush;
    // Like a modal box, the question lets a Stop or a close through.
    handleInterrupts();
    return answer;
}

QString TerminalJobWindow::linkText() const
{
    return m_options.link;
}

QString TerminalJobWindow::folderText() const
{
    return m_options.folder;
}

bool TerminalJobWindow::aviBoxChecked() const
{
    return m_options.toAvi;
}

bool TerminalJobWindow::mp4BoxChecked() const
{
    return m_options.toMp4;
}

void TerminalJobWindow::setStatusLine(const QString &text)
{
    if (std::exchange(m_nextIsProgress, false)) {
        printProgress(TerminalText(text));
        return;
    }
    endProgressLine();
    *m_terminal.out << TerminalText(text) << '\n' << Qt::flush;
}

void TerminalJobWindow::printProgress(const QString &text)
{
    const quint32 now = m_clock.tickCount();
    if (m_progressShown && now - m_lastProgressTick < ProgressIntervalMs) {
        m_pendingProgress = text;
        return;
    }
    m_pendingProgress.clear();
    m_progressShown = true;
    m_lastProgressTick = now;
    QTextStream &out = *m_terminal.out;
    if (m_terminal.outIsTerminal) {
        // Back to the line's start, rewrite it, clear what the longer text left.
        out << '\r' << text << "\x1b[K" << Qt::flush;
        m_lineOpen = true;
    } else {
        out << text << '\n' << Qt::flush;
    }
}

void TerminalJobWindow::endProgressLine()
{
    // The last count held back by the rate limit is still worth showing.
    if (!m_pendingProgress.isEmpty()) {
        m_progressShown = false;
        printProgress(std::exchange(m_pendingProgress, QString()));
    }
    if (m_lineOpen)
        *m_terminal.out << '\n' << Qt::flush;
    m_lineOpen = false;
    m_progressShown = false;
}

void TerminalJobWindow::finish()
{
    endProgressLine();
}

void TerminalJobWindow::ShowTransferProgress(qint64, quint32)
{
    m_nextIsProgress = true;
}

void TerminalJobWindow::BeginConversionProgress()
{
    // The download's last count stays on screen above the conversion's progress.
    endProgressLine();
}

void TerminalJobWindow::ShowConversionProgress(qint32, qint32)
{
    m_nextIsProgress = true;
}

void TerminalJobWindow::box(const QString &kind, const QString &text)
{
    endProgressLine();
    *m_terminal.err << kind << boxText(text) << '\n' << Qt::flush;
    handleInterrupts();
}

void TerminalJobWindow::showError(const QString &text)
{
    box(QStringLiteral("Error: "), text);
}

void TerminalJobWindow::showInformation(const QString &text)
{
    box(QStringLiteral("Information: "), text);
}

void TerminalJobWindow::showCommandFailure(const QString &text)
{
    box(QStringLiteral("Error: "), text);
}

void TerminalJobWindow::showEscapedError(const QString &text)
{
    showError(text);
}

void TerminalJobWindow::processMessages()
{
    QCoreApplication::processEvents();
    handleInterrupts();
}

void TerminalJobWindow::handleInterrupts()
{
    const int fresh = takeInterrupts ? takeInterrupts() : 0;
    for (int i = 0; i < fresh; ++i) {
        if (++m_interrupts == 1) {
            // The Stop button: only a running job is asked to stop.
            if (m_state.DownloadState != dsIdle && m_state.DownloadState != dsClosing)
                m_state.DownloadState = dsStopRequested;
        } else {
            m_state.DownloadState = dsClosing;
        }
    }
}
