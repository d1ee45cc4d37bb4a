#include "RecordingJobWindow.h"

namespace {
QString flag(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

int RecordingJobWindow::formatIndex() const
{
    log(QStringLiteral("read format"));
    return format;
}

void RecordingJobWindow::setFormatIndex(int index)
{
    log(QStringLiteral("set format %1").arg(index));
    format = index;
}

bool RecordingJobWindow::askStepDown(const QString &question)
{
    return answer(stepDownAnswers, question);
}

bool RecordingJobWindow::askQuestion(JobQuestion, const QString &question)
{
    return answer(questionAnswers, question);
}

bool RecordingJobWindow::answer(std::deque<bool> &answers, const QString &question)
{
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty())
        answers.pop_front();
    log(QStringLiteral("question ") + question + QStringLiteral(" -> ") +
        (yes ? QStringLiteral("Yes") : QStringLiteral("No")));
    modal();
    return yes;
}

QString RecordingJobWindow::linkText() const
{
    log(QStringLiteral("read link"));
    return link;
}

QString RecordingJobWindow::folderText() const
{
    log(QStringLiteral("read folder"));
    return folder;
}

bool RecordingJobWindow::aviBoxChecked() const
{
    log(QStringLiteral("read avi"));
    return avi;
}

bool RecordingJobWindow::mp4BoxChecked() const
{
    log(QStringLiteral("read mp4"));
    return mp4;
}

void RecordingJobWindow::setStatusLine(const QString &text)
{
    log(QStringLiteral("status line ") + text);
    statusLine = text;
}

void RecordingJobWindow::setStatusPanel(const QString &text)
{
    log(QStringLiteral("status panel ") + text);
    statusPanel = text;
}

void RecordingJobWindow::setElapsedPanel(const QString &text)
{
    log(QStringLiteral("elapsed ") + text);
    elapsedPanel = text;
}

void RecordingJobWindow::setBarPosition(qint32 position)
{
    log(QStringLiteral("bar position %1").arg(position));
}

void RecordingJobWindow::SetProgressMaximum(qint32 maximum)
{
    log(QStringLiteral("bar maximum %1").arg(maximum));
}

void RecordingJobWindow::BeginDownloadProgress()
{
    log(QStringLiteral("BeginDownloadProgress"));
}

void RecordingJobWindow::ShowTransferProgress(qint64 done, quint32 total)
{
    log(QStringLiteral("ShowTransferProgress %1 of %2").arg(done).arg(total));
}

void RecordingJobWindow::BeginConversionProgress()
{
    log(QStringLiteral("BeginConversionProgress"));
}

void RecordingJobWindow::ShowConversionProgress(qint32 seconds, qint32 duration)
{
    log(QStringLiteral("ShowConversionProgress %1 of %2").arg(seconds).arg(duration));
}

void RecordingJobWindow::EndTaskbarProgress()
{
    log(QStringLiteral("EndTaskbarProgress"));
}

void RecordingJobWindow::setTimerEnabled(bool enabled)
{
    log(QStringLiteral("timer ") + flag(enabled));
}

void RecordingJobWindow::setAntiFreezeActive(bool active)
{
    log(QStringLiteral("anti-freeze ") + flag(active));
}

void RecordingJobWindow::setInputsEnabled(bool enabled)
{
    log(QStringLiteral("inputs enabled ") + flag(enabled));
    inputsEnabled = enabled;
}

void RecordingJobWindow::setConvertBoxesEnabled(bool enabled)
{
    log(QStringLiteral("convert boxes enabled ") + flag(enabled));
    convertBoxesEnabled = enabled;
}

void RecordingJobWindow::setStartButtonCaption(const QString &caption)
{
    log(QStringLiteral("button ") + caption);
    startCaption = caption;
}

void RecordingJobWindow::blockThread(int milliseconds)
{
    log(QStringLiteral("block %1").arg(milliseconds));
}

void RecordingJobWindow::showError(const QString &text)
{
    log(QStringLiteral("error box ") + text);
    modal();
}

void RecordingJobWindow::showErrorDetails(const QString &text, const QString &details)
{
    log(QStringLiteral("error box ") + text + QStringLiteral(" | details: ") + details);
    modal();
}

void RecordingJobWindow::showInformation(const QString &text)
{
    log(QStringLiteral("information box ") + text);
    modal();
}

void RecordingJobWindow::showCommandFailure(const QString &text)
{
    log(QStringLiteral("command failure box ") + text);
    modal();
}

void RecordingJobWindow::processMessages()
{
    log(QStringLiteral("message pass"));
    if (onMessagePass)
        onMessagePass();
}

void RecordingJobWindow::modal()
{
    if (onModalBox)
        onModalBox();
}
