#include "cli/TerminalJobWindow.h"

#include "cli/CliOptions.h"
#include "cli/TerminalText.h"
#include "job/Clock.h"
#include "job/ProgramState.h"
#include "job/TimeTexts.h"

#include <QCoreApplication>
#include <QTextStream>

#include <utility>

namespace {

constexpr quint32 ProgressIntervalMs = 100; // at most ten progress lines a second
constexpr quint32 RateSampleMs = 500;
constexpr double RateWeight = 0.3; // of the newest sample in the smoothed speed

// The boxes break lines with LF CR; a terminal wants one line feed.
QString boxText(QString text)
{
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return TerminalText(text, true);
}

} // namespace

TerminalJobWindow::TerminalJobWindow(const ProgramState &state, const CliOptions &options,
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
    return ask(question, m_options.answer);
}

bool TerminalJobWindow::askQuestion(JobQuestion kind, const QString &question)
{
    // Going on after a Ctrl+C is the user's to say, whatever --yes says.
    return ask(question, kind == JobQuestion::WholeList ? m_options.playlist : std::nullopt);
}

bool TerminalJobWindow::ask(const QString &question, std::optional<bool> given)
{
    endProgressLine();
    QTextStream &err = *m_terminal.err;
    err << boxText(question);
    bool answer = false;
    if (given) {
        answer = *given;
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

void TerminalJobWindow::setProgressLine(const ProgressLine &line)
{
    const QString shown = TerminalText(line.text);
    if (line.kind != ProgressLine::Kind::Transfer) {
        printProgress(shown);
        return;
    }
    measureRate(line.done, line.total);
    printProgress(shown + rateText());
}

void TerminalJobWindow::setStatusLine(const QString &text)
{
    // A new phase (another attempt, the conversion) measures its own speed.
    m_rateBase = false;
    m_bytesPerSecond = -1;
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

void TerminalJobWindow::measureRate(qint64 done, qint64 total)
{
    const quint32 now = m_clock.tickCount();
    // The total wraps at 4 GiB; a count past it has no time left to show.
    m_left = total > 0 && done <= total ? total - done : -1;
    if (!m_rateBase || done < m_baseDone) {
        m_rateBase = true;
        m_baseTick = now;
        m_baseDone = done;
        return;
    }
    const quint32 elapsed = now - m_baseTick;
    if (elapsed < RateSampleMs)
        return;
    const double sample = double(done - m_baseDone) * 1000.0 / elapsed;
    m_bytesPerSecond =
        m_bytesPerSecond < 0 ? sample : RateWeight * sample + (1 - RateWeight) * m_bytesPerSecond;
    m_baseTick = now;
    m_baseDone = done;
}

QString TerminalJobWindow::rateText() const
{
    if (m_bytesPerSecond < 0)
        return {};
    QString text = QStringLiteral(" - ") +
                   FormatSize(qint64(m_bytesPerSecond), m_state.DecimalSeparator) +
                   QStringLiteral("/s");
    if (m_left >= 0 && m_bytesPerSecond >= 1) {
        const double seconds = double(m_left) / m_bytesPerSecond;
        if (seconds < 100.0 * 3600)
            text +=
                QStringLiteral(", ") + SecToTime(qint32(seconds + 0.5)) + QStringLiteral(" left");
    }
    return text;
}

void TerminalJobWindow::BeginConversionProgress()
{
    // The download's last count stays on screen above the conversion's progress.
    endProgressLine();
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
    for (int i = 0; i < fresh && cancel; ++i)
        cancel(++m_interrupts == 1 ? Cancel::Stop : Cancel::Close);
}
