// The main window's side of a job (its roles) and the behaviours of its own controls.
#include "job/JobController.h"
#include "markup/HTMLCheckBox.h"
#include "markup/HTMLComboBox.h"
#include "window/AdvProgressBar.h"
#include "window/AdvToolButton.h"
#include "window/DesktopNotifications.h"
#include "window/DesktopShell.h"
#include "window/MainForm.h"
#include "window/MessageBoxes.h"
#include "window/MultipleVideosDialog.h"
#include "window/PaintPacer.h"
#include "window/ProgressIndicators.h"
#include "window/StatusBar.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const QString FolderDialogTitle = QStringLiteral("Select directory to save downloaded file");

} // namespace

int TMainForm::formatIndex() const
{
    return m_formatComboBox->currentIndex();
}

void TMainForm::setFormatIndex(int index)
{
    m_formatComboBox->setCurrentIndex(index);
}

bool TMainForm::askStepDown(const QString &question)
{
    return m_boxes->askYesNo(this, question);
}

bool TMainForm::askQuestion(JobQuestion, const QString &question)
{
    return m_boxes->askQuestion(this, question);
}

QString TMainForm::linkText() const
{
    return m_moviePathEdit->text();
}

QString TMainForm::folderText() const
{
    return m_directoryEdit->text();
}

bool TMainForm::aviBoxChecked() const
{
    return m_convertAVICheckBox->isChecked();
}

bool TMainForm::mp4BoxChecked() const
{
    return m_convertMP4CheckBox->isChecked();
}

void TMainForm::setStatusLine(const QString &text)
{
    m_statusLabel->setText(text);
}

void TMainForm::setStatusPanel(const QString &text)
{
    m_statusBar->setPanelText(2, text);
}

void TMainForm::setElapsedPanel(const QString &text)
{
    m_statusBar->setPanelText(1, text);
}

void TMainForm::EndTaskbarProgress()
{
    m_progress->EndTaskbarProgress();
}

void TMainForm::PrepareToStart()
{
    ::PrepareToStart(jobWindow());
}

void TMainForm::PrepareToStop()
{
    ::PrepareToStop(jobWindow());
}

void TMainForm::FormatComboBoxChange()
{
    ::FormatComboBoxChange(*this, *this);
}

void TMainForm::setTimerEnabled(bool enabled)
{
    if (enabled)
        m_timer1.start();
    else
        m_timer1.stop();
}

void TMainForm::setInputsEnabled(bool enabled)
{
    const QList<QWidget *> inputs{m_directoryEdit,  m_moviePathEdit,      m_selectDirectoryButton,
                                  m_formatComboBox, m_convertAVICheckBox, m_convertMP4CheckBox};
    if (!enabled && inputs.contains(focusWidget())) {
        // Disabling the focused field would hand the focus down the tab order,
        // into the example link, which then selects its text. The window keeps
        // it instead, and gives it back after the job.
        m_focusBeforeJob = focusWidget();
        setFocus(Qt::OtherFocusReason);
    }
    for (QWidget *input : inputs)
        input->setEnabled(enabled);
    if (enabled && m_focusBeforeJob && focusWidget() == this)
        m_focusBeforeJob->setFocus(Qt::OtherFocusReason);
    if (enabled)
        m_focusBeforeJob = nullptr;
}

void TMainForm::setConvertBoxesEnabled(bool enabled)
{
    m_convertAVICheckBox->setEnabled(enabled);
    m_convertMP4CheckBox->setEnabled(enabled);
}

void TMainForm::setStartButtonCaption(const QString &caption)
{
    m_startButton->setCaption(caption); // Alt+D for Download, Alt+S for Stop
}

void TMainForm::jobEnds(const JobEnd &end)
{
    // The box that follows shows the result: the status texts behind it say
    // so already, not the last progress.
    if (!end.statusLine.isEmpty())
        setStatusLine(end.statusLine);
    if (!end.statusPanel.isEmpty())
        setStatusPanel(end.statusPanel);
    // The box is seen when the window is in front.
    if (isActiveWindow())
        return;
    switch (end.outcome) {
    case JobOutcome::Completed:
        m_notifications->notify(QStringLiteral("Download is complete"), end.fileName, folderText());
        return;
    case JobOutcome::ConversionFailed:
        m_notifications->notify(QStringLiteral("Unable to convert this video."),
                                end.reason.isEmpty() ? end.fileName : end.reason, folderText());
        return;
    case JobOutcome::Failed:
        m_notifications->notify(QStringLiteral("Unable to download this video."),
                                end.reason.isEmpty() ? linkText() : end.reason, {});
        return;
    case JobOutcome::Stopped:
        return;
    }
}

void TMainForm::showError(const QString &text)
{
    m_boxes->show(this, MessageBoxes::Kind::Error, text);
}

void TMainForm::showErrorDetails(const QString &text, const QString &details)
{
    m_boxes->showDetails(this, MessageBoxes::Kind::Error, text, details);
}

void TMainForm::showInformation(const QString &text)
{
    m_boxes->show(this, MessageBoxes::Kind::Information, text);
}

void TMainForm::showCommandFailure(const QString &text)
{
    m_boxes->show(this, MessageBoxes::Kind::CommandFailure, text);
}

void TMainForm::processMessages()
{
    m_pacer->pacedPass([] { QCoreApplication::processEvents(); });
}

void TMainForm::ConvertAVICheckBoxClick()
{
    if (m_convertAVICheckBox->isChecked())
        m_convertMP4CheckBox->setChecked(false);
}

void TMainForm::ConvertMP4CheckBoxClick()
{
    if (m_convertMP4CheckBox->isChecked())
        m_convertAVICheckBox->setChecked(false);
}

void TMainForm::SelectDirectoryButtonClick()
{
    QString start = m_directoryEdit->text();
    if (start.isEmpty())
        start = QDir::currentPath();
    else if (start.size() > 1 && start.endsWith(QLatin1Char('/')))
        start.chop(1);
    const std::optional<QString> chosen = m_shell->chooseFolder(this, FolderDialogTitle, start);
    // Letter case counts: the same folder written otherwise replaces the text.
    if (chosen && *chosen != m_directoryEdit->text())
        m_directoryEdit->setText(*chosen);
}

void TMainForm::OpenDirectoryButtonClick()
{
    OpenFolder(m_directoryEdit->text());
}

void TMainForm::OpenFolder(const QString &folder)
{
    if (folder.isEmpty())
        return;
    m_shell->exploreFolder(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

void TMainForm::AdvToolButton2Click()
{
    if (!m_job)
        return;
    try {
        m_job->UpdateExtractorClick();
    } catch (const std::exception &error) {
        m_boxes->show(this, MessageBoxes::Kind::Error, QString::fromUtf8(error.what()));
    }
}

void TMainForm::HelpButton2Click()
{
    // As a link: a missing page is for the desktop to report.
    m_shell->openLocalPage(HelpPage(m_state));
}

QString TMainForm::AboutText()
{
    const ExtractorInUse extractor = m_job ? m_job->DescribeExtractor() : ExtractorInUse();
    return QStringLiteral("Vidlark " VIDLARK_VERSION "\n\r"
                          "Saves videos of online video services into a folder of your "
                          "choice.\n\r\n\r"
                          "Extractor: ") +
           JobReporter::extractorLine(extractor) + QStringLiteral("\n\rHelp page: ") +
           QDir::toNativeSeparators(HelpPage(m_state)) +
           QStringLiteral("\n\r\n\rVidlark is free software under the GNU General Public "
                          "License, version 3 or later, and comes with no warranty.");
}

void TMainForm::ImageLogoClick()
{
    m_boxes->show(this, MessageBoxes::Kind::About, AboutText());
}

void TMainForm::Button1Click()
{
    offerMultipleVideos({});
}

void TMainForm::offerMultipleVideos(const QStringList &links)
{
    if (!m_job || m_state.DownloadState != dsIdle)
        return;
    // The top button's sites are reached through the extractor like any other.
    QString note;
    for (const char *site : {"Vimeo", "Facebook", "Dailymotion"}) {
        if (m_button1->text().contains(QLatin1String(site)))
            note =
                QStringLiteral("Links of %1 work through the extractor.").arg(QLatin1String(site));
    }
    // Owned by the window; gone once it is closed.
    auto *dialog = new MultipleVideosDialog(this, note, formatIndex(), folderText());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setLinks(links);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        setFormatIndex(dialog->format());
        FormatComboBoxChange();
        m_directoryEdit->setText(dialog->folder());
        QList<QueuedVideo> queue;
        for (const QString &link : dialog->links())
            queue.append({link});
        // The queue runs once the dialog is gone: its message passes may delete it.
        QMetaObject::invokeMethod(
            this, [this, queue] { runJob([this, &queue] { m_job->StartQueue(queue); }); },
            Qt::QueuedConnection);
    });
    dialog->open();
}

void TMainForm::MoviePathEditEdited(const QString &text)
{
    // Several links pasted at once are a queue's.
    const QStringList words =
        text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    int links = 0;
    for (const QString &word : words)
        links += word.contains(QStringLiteral("://")) ? 1 : 0;
    if (links < 2)
        return;
    m_moviePathEdit->setText(words.first());
    offerMultipleVideos(words);
}
