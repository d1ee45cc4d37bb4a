#pragma once

#include "job/JobWindow.h"
#include "job/ProgramState.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class DesktopNotifications;
class DesktopShell;
class JobController;
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
// the window owns the program state and must outlive any job it runs. It fills
// the job's window roles; its progress bar and launcher entry are those of
// ProgressIndicators.
class TMainForm : public QWidget,
                  public JobInputs,
                  public InputLock,
                  public StatusTexts,
                  public JobBoxes,
                  public MessagePass,
                  public JobEnding
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
    // Launcher progress; null means none.
    void setTaskbar(std::unique_ptr<TaskbarProgress> taskbar);
    bool SupportTaskBar() const;
    // Desktop notifications for a job's end while the window is not in front;
    // null means none.
    void setNotifications(std::unique_ptr<DesktopNotifications> notifications);
    // Runs when the user closes the window, before the close is accepted.
    void setCloseQuery(std::function<void()> handler) { m_closeQuery = std::move(handler); }
    // Closes as the close box does, for a request that nobody may be there to
    // answer (the session ends): no modal box may hold it.
    void closeUnattended();
    bool closingUnattended() const { return m_closingUnattended; }
    // The job the Download button and the timer drive; it must outlive the window's use of it.
    void setJob(JobController &job) { m_job = &job; }
    JobController *job() const { return m_job; }
    void centreOnScreen();

    // The roles through which a job uses this window.
    JobWindow jobWindow();
    ProgressIndicators &progress() { return *m_progress; }

    QLineEdit *DirectoryEdit() const { return m_directoryEdit; }
    QLineEdit *MoviePathEdit() const { return m_moviePathEdit; }
    QPushButton *Button1() const { return m_button1; }
    TAdvToolButton *StartButton() const { return m_startButton; }
    THTMLComboBox *FormatComboBox() const { return m_formatComboBox; }
    TAdvProgressBar *ProgressBar() const { return m_progressBar; }
    QTimer &Timer1() { return m_timer1; }

    // JobInputs
    QString linkText() const override;
    QString folderText() const override;
    int formatIndex() const override;
    void setFormatIndex(int index) override;
    bool aviBoxChecked() const override;
    bool mp4BoxChecked() const override;
    // InputLock
    void setInputsEnabled(bool enabled) override;
    void setConvertBoxesEnabled(bool enabled) override;
    void setStartButtonCaption(const QString &caption) override;
    // StatusTexts
    void setStatusLine(const QString &text) override;
    void setStatusPanel(const QString &text) override;
    void setElapsedPanel(const QString &text) override;
    void setTimerEnabled(bool enabled) override;
    // JobBoxes
    void showError(const QString &text) override;
    void showErrorDetails(const QString &text, const QString &details) override;
    void showInformation(const QString &text) override;
    void showCommandFailure(const QString &text) override;
    bool askStepDown(const QString &question) override;
    bool askQuestion(JobQuestion kind, const QString &question) override;
    // MessagePass
    void processMessages() override;
    // JobEnding
    void jobEnds(const JobEnd &end) override;

    // Locks the inputs for a job and starts the download look of the progress.
    void PrepareToStart();
    // Unlocks the inputs after a job.
    void PrepareToStop();
    // The convert boxes are offered only for the FLV formats.
    void FormatComboBoxChange();
    // Download/Stop: runs a job when idle, otherwise asks the running one to stop.
    // An error that escaped the job is shown with its own text.
    void StartButtonClick();
    void EndTaskbarProgress();

    // Behaviours of the window's own controls.
    void ConvertAVICheckBoxClick();
    void ConvertMP4CheckBoxClick();
    void SelectDirectoryButtonClick();
    void OpenDirectoryButtonClick();
    // Opens a folder in the file manager (the Open button, a notification's action).
    void OpenFolder(const QString &folder);
    // Update: the update of the managed extractor, a job of its own (Stop ends
    // it); while another job runs it does nothing.
    void AdvToolButton2Click();
    // Help, and Button1 (its captions name other sites): the help page
    // installed with the program, in the desktop's browser.
    void HelpButton2Click();
    // The logo: the About box (the version, the extractor in use, the
    // licence, where the help page is).
    void ImageLogoClick();
    void Button1Click();
    // The "Download multiple videos" dialog, with these links; its Start runs them as a queue.
    void offerMultipleVideos(const QStringList &links);
    void MoviePathEditEdited(const QString &text);
    QString AboutText();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createPanels();
    void createInputControls();
    void createStatusControls();
    // Tab order, Return, Escape, Ctrl+Q and the mnemonics.
    void createKeys();
    // Runs a job; an error that escaped it is shown with its own text.
    void runJob(const std::function<void()> &job);
    void layoutPanels();

    ProgramState m_state;
    std::unique_ptr<MessageBoxes> m_boxes;
    std::unique_ptr<DesktopShell> m_shell;
    std::unique_ptr<TaskbarProgress> m_taskbar; // never null
    std::unique_ptr<ProgressIndicators> m_progress;
    std::unique_ptr<DesktopNotifications> m_notifications; // never null
    std::function<void()> m_closeQuery;
    QTimer m_timer1;
    JobController *m_job = nullptr;
    PaintPacer *m_pacer = nullptr; // a child of the window
    QPointer<QWidget> m_focusBeforeJob;
    bool m_closingUnattended = false;

    // Members are named by their role; the controls carry their design names.
    TPanel *m_logoPanel = nullptr;       // Panel4
    TPanel *m_buttonPanel = nullptr;     // Panel5
    TPanel *m_inputPanel = nullptr;      // Panel1
    TPanel *m_statusLinePanel = nullptr; // Panel3
    TPanel *m_progressPanel = nullptr;   // Panel2
    TStatusBar *m_statusBar = nullptr;
    TImage *m_imageLogo = nullptr;
    THTMLabel *m_buttonBackground = nullptr; // HTMLabel1
    THTMLabel *m_inputBackground = nullptr;  // HTMLabel6
    THTMLabel *m_statusBackground = nullptr; // HTMLabel3
    THTMLabel *m_progressCaption = nullptr;  // v
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
