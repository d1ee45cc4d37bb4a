#pragma once

#include "job/JobWindow.h"
#include "job/ProgramState.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class DesktopShell;
class JobSession;
class MessageBoxes;
class PaintPacer;
class ProgressIndicators;
class QLabel;
class QLineEdit;
class QPushButton;
class TAdvProgressBar;
class TAdvToolButton;
class THTMLabel;
class THTMLCheckBox;
class THTMLComboBox;
class TImage;
class TPanel;
class TStatusBar;
class TaskbarProgress;

// The program's one window. Controls carry their design names as object names;
// the window owns the program state and must outlive any job it runs.
class TMainForm : public QWidget, public JobWindow
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 632;
    static constexpr int ClientHeight = 426;

    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    ProgramState &state() { return m_state; }
    const ProgramState &state() const { return m_state; }

    // Replaces the modal boxes (tests answer them).
    void setMessageBoxes(std::unique_ptr<MessageBoxes> boxes);
    // Replaces the folder browser, file manager and web browser (tests watch them).
    void setDesktopShell(std::unique_ptr<DesktopShell> shell);
    // Launcher progress; null means none (no session bus).
    void setTaskbar(std::unique_ptr<TaskbarProgress> taskbar);
    bool SupportTaskBar() const;
    // Runs when the user closes the window, before the close is accepted.
    void setCloseQuery(std::function<void()> handler) { m_closeQuery = std::move(handler); }
    bool antiFreezeActive() const;
    void centreOnScreen();

    QLineEdit *DirectoryEdit() const { return m_directoryEdit; }
    QLineEdit *MoviePathEdit() const { return m_moviePathEdit; }
    QPushButton *Button1() const { return m_button1; }
    TAdvToolButton *StartButton() const { return m_startButton; }
    THTMLComboBox *FormatComboBox() const { return m_formatComboBox; }
    TAdvProgressBar *ProgressBar() const { return m_progressBar; }
    QTimer &Timer1() { return m_timer1; }

    // JobWindow
    int formatIndex() const override;
    void setFormatIndex(int index) override;
    bool askStepDown(const QString &question) override;
    QString linkText() const override;
    QString folderText() const override;
    bool aviBoxChecked() const override;
    bool mp4BoxChecked() const override;
    void setStatusLine(const QString &text) override;
    void setStatusPanel(const QString &text) override;
    void setElapsedPanel(const QString &text) override;
    void setBarPosition(qint32 position) override;
    void SetProgressMaximum(qint32 maximum) override;
    void BeginDownloadProgress() override;
    void ShowTransferProgress(qint64 done, quint32 total) override;
    void BeginConversionProgress() override;
    void ShowConversionProgress(qint32 seconds, qint32 duration) override;
    void EndTaskbarProgress() override;
    void setTimerEnabled(bool enabled) override;
    void setAntiFreezeActive(bool active) override;
    void setInputsEnabled(bool enabled) override;
    void setConvertBoxesEnabled(bool enabled) override;
    void setStartButtonCaption(const QString &caption) override;
    void blockThread(int milliseconds) override;
    void showError(const QString &text) override;
    void showInformation(const QString &text) override;
    void showCommandFailure(const QString &text) override;
    void processMessages() override;

    // Download/Stop: runs a job when idle, otherwise asks the running one to stop.
    // An error that escaped the job is shown with its own text.
    void StartButtonClick();
    // The real job's HTTP client, for settings that outlive one job.
    JobSession &session() { return *m_session; }

    // Behaviours of the window's own controls.
    void ConvertAVICheckBoxClick();
    void ConvertMP4CheckBoxClick();
    void SelectDirectoryButtonClick();
    void OpenDirectoryButtonClick();
    void AdvToolButton2Click();
    void HelpButton2Click();
    void ImageLogoClick();
    void Button1Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createPanels();
    void createInputControls();
    void createStatusControls();
    void layoutPanels();

    ProgramState m_state;
    std::unique_ptr<MessageBoxes> m_boxes;
    std::unique_ptr<DesktopShell> m_shell;
    std::unique_ptr<TaskbarProgress> m_taskbar;
    std::unique_ptr<ProgressIndicators> m_progress;
    std::function<void()> m_closeQuery;
    QTimer m_timer1;
    std::unique_ptr<JobSession> m_session;
    PaintPacer *m_pacer = nullptr; // a child of the window

    TPanel *m_panel4 = nullptr;
    TPanel *m_panel5 = nullptr;
    TPanel *m_panel1 = nullptr;
    TPanel *m_panel3 = nullptr;
    TPanel *m_panel2 = nullptr;
    TStatusBar *m_statusBar = nullptr;
    TImage *m_imageLogo = nullptr;
    THTMLabel *m_htmLabel1 = nullptr;
    THTMLabel *m_htmLabel6 = nullptr;
    THTMLabel *m_htmLabel3 = nullptr;
    THTMLabel *m_v = nullptr;
    QPushButton *m_button1 = nullptr;
    THTMLComboBox *m_formatComboBox = nullptr;
    THTMLCheckBox *m_convertAVICheckBox = nullptr;
    THTMLCheckBox *m_convertMP4CheckBox = nullptr;
    QLineEdit *m_moviePathEdit = nullptr;
    QLineEdit *m_advEdit1 = nullptr;
    QLineEdit *m_directoryEdit = nullptr;
    TAdvToolButton *m_selectDirectoryButton = nullptr;
    QLabel *m_statusLabel = nullptr;
    TAdvProgressBar *m_progressBar = nullptr;
    TAdvToolButton *m_startButton = nullptr;
};
