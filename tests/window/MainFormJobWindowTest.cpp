#include "RecordingMessageBoxes.h"
#include "markup/HTMLCheckBox.h"
#include "markup/HTMLComboBox.h"
#include "window/AdvProgressBar.h"
#include "window/AdvToolButton.h"
#include "window/DesktopNotifications.h"
#include "window/MainForm.h"
#include "window/ProgressIndicators.h"
#include "window/StatusBar.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const char *const JobInputs[] = {"DirectoryEdit",  "MoviePathEdit",      "SelectDirectoryButton",
                                 "FormatComboBox", "ConvertAVICheckBox", "ConvertMP4CheckBox"};
const char *const AlwaysUsable[] = {
    "OpenDirectoryButton", "HelpButton2", "AdvToolButton2", "ImageLogo", "Button1",
    "StartButton",         "AdvEdit1"};

class MainFormJobWindow : public testing::Test
{
protected:
    TMainForm form;
    RecordingMessageBoxes *boxes = nullptr;

    void SetUp() override
    {
        auto recording = std::make_unique<RecordingMessageBoxes>();
        boxes = recording.get();
        form.setMessageBoxes(std::move(recording));
    }
    QWidget *control(const char *name)
    {
        return form.findChild<QWidget *>(QString::fromLatin1(name));
    }
    THTMLCheckBox *box(const char *name)
    {
        return form.findChild<THTMLCheckBox *>(QString::fromLatin1(name));
    }
};

TEST_F(MainFormJobWindow, PrepareToStartLocksTheSixInputsOnly)
{
    form.progress().SetProgressMaximum(100);
    form.progress().setBarPosition(40);
    form.PrepareToStart();
    for (const char *name : JobInputs) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(control(name)->isEnabled());
    }
    for (const char *name : AlwaysUsable) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(control(name)->isEnabled());
    }
    EXPECT_EQ(form.StartButton()->text(), QStringLiteral("Stop"));
    EXPECT_EQ(form.ProgressBar()->Position(), 0);
}

TEST_F(MainFormJobWindow, PrepareToStopUnlocksAndMatchesBoxesToTheNewFormat)
{
    struct Case
    {
        int format;
        bool boxesEnabled;
    };
    for (const Case c : {Case{0, true}, Case{1, false}, Case{2, true}, Case{3, true},
                         Case{4, false}, Case{5, false}}) {
        SCOPED_TRACE(c.format);
        box("ConvertAVICheckBox")->setChecked(true);
        form.PrepareToStart();
        // A step-down during the job leaves the boxes' state alone.
        form.setFormatIndex(c.format);
        EXPECT_FALSE(box("ConvertAVICheckBox")->isEnabled());
        form.PrepareToStop();
        for (const char *name :
             {"DirectoryEdit", "MoviePathEdit", "SelectDirectoryButton", "FormatComboBox"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(control(name)->isEnabled());
        }
        EXPECT_EQ(box("ConvertAVICheckBox")->isEnabled(), c.boxesEnabled);
        EXPECT_EQ(box("ConvertMP4CheckBox")->isEnabled(), c.boxesEnabled);
        EXPECT_TRUE(box("ConvertAVICheckBox")->isChecked());
        EXPECT_EQ(form.StartButton()->text(), QStringLiteral("Download"));
        EXPECT_EQ(form.formatIndex(), c.format);
    }
}

TEST_F(MainFormJobWindow, ChoosingAFormatSwitchesTheConvertBoxes)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    THTMLComboBox *list = form.FormatComboBox();
    list->setFocus();
    box("ConvertAVICheckBox")->setChecked(true);

    QTest::keyClick(list, Qt::Key_Down); // 3: FLV 480p
    EXPECT_EQ(list->currentIndex(), 3);
    EXPECT_TRUE(box("ConvertAVICheckBox")->isEnabled());
    QTest::keyClick(list, Qt::Key_Down); // 4: MP4 720p
    EXPECT_FALSE(box("ConvertAVICheckBox")->isEnabled());
    EXPECT_FALSE(box("ConvertMP4CheckBox")->isEnabled());
    EXPECT_TRUE(box("ConvertAVICheckBox")->isChecked());
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up); // back to 2
    EXPECT_TRUE(box("ConvertAVICheckBox")->isEnabled());
    EXPECT_TRUE(box("ConvertAVICheckBox")->isChecked());

    // A change from code runs no handler.
    form.setFormatIndex(5);
    EXPECT_TRUE(box("ConvertMP4CheckBox")->isEnabled());
}

TEST_F(MainFormJobWindow, InputsAreReadFromTheControls)
{
    form.MoviePathEdit()->setText(QStringLiteral("http://youtu.be/abc"));
    form.DirectoryEdit()->setText(QStringLiteral("/tmp/videos/"));
    box("ConvertMP4CheckBox")->setChecked(true);
    EXPECT_EQ(form.linkText(), QStringLiteral("http://youtu.be/abc"));
    EXPECT_EQ(form.folderText(), QStringLiteral("/tmp/videos/"));
    EXPECT_FALSE(form.aviBoxChecked());
    EXPECT_TRUE(form.mp4BoxChecked());
    EXPECT_EQ(form.formatIndex(), 2);
    form.FormatComboBox()->setCurrentIndex(-1);
    EXPECT_EQ(form.formatIndex(), -1);
}

TEST_F(MainFormJobWindow, StatusTextsArePlainText)
{
    const QString markup = QStringLiteral("<b>Title</b> &amp; more");
    form.setStatusLine(markup);
    form.setStatusPanel(QStringLiteral("Status: ") + markup);
    form.setElapsedPanel(QStringLiteral("00:01:02"));
    auto *label = form.findChild<QLabel *>(QStringLiteral("StatusLabel"));
    EXPECT_EQ(label->text(), markup);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    auto *bar = form.findChild<TStatusBar *>(QStringLiteral("StatusBar"));
    EXPECT_EQ(bar->panelText(2), QStringLiteral("Status: ") + markup);
    EXPECT_EQ(bar->panelText(1), QStringLiteral("00:01:02"));
    EXPECT_EQ(bar->panelText(0), QStringLiteral(" Version: 2.9.6"));
    EXPECT_EQ(label->width(), 548);
}

// A transfer sets the status line for every piece: each new text costs a
// repaint at most, never a layout of the panel around it.
TEST_F(MainFormJobWindow, ANewStatusLineAsksForNoLayout)
{
    class LayoutRequests : public QObject
    {
    public:
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::LayoutRequest)
                ++count;
            return false;
        }
    } requests;
    form.show();
    QApplication::processEvents();
    auto *label = form.findChild<QLabel *>(QStringLiteral("StatusLabel"));
    label->parentWidget()->installEventFilter(&requests);
    for (int i = 0; i < 100; ++i) {
        form.setStatusLine(QStringLiteral("Downloading... %1 KB of 4.77 MB").arg(i));
        form.processMessages();
    }
    EXPECT_EQ(requests.count, 0);
    EXPECT_EQ(label->text(), QStringLiteral("Downloading... 99 KB of 4.77 MB"));
    EXPECT_EQ(label->geometry(), QRect(75, 12, 548, 13));
}

TEST_F(MainFormJobWindow, BoxesGoThroughTheReplaceableInterface)
{
    boxes->answers = {true, false};
    form.showError(QStringLiteral("e"));
    form.showInformation(QStringLiteral("i"));
    form.showCommandFailure(QStringLiteral("c"));
    EXPECT_TRUE(form.askStepDown(QStringLiteral("q1")));
    EXPECT_FALSE(form.askStepDown(QStringLiteral("q2")));
    EXPECT_FALSE(form.askStepDown(QStringLiteral("q3")));
    EXPECT_EQ(boxes->shown,
              QStringList({QStringLiteral("Error: e"), QStringLiteral("Information: i"),
                           QStringLiteral("Could not execute command line: c"),
                           QStringLiteral("Question: q1"), QStringLiteral("Question: q2"),
                           QStringLiteral("Question: q3")}));
}

TEST_F(MainFormJobWindow, TimerProgressAndMessagePass)
{
    form.setTimerEnabled(true);
    EXPECT_TRUE(form.Timer1().isActive());
    form.setTimerEnabled(false);
    EXPECT_FALSE(form.Timer1().isActive());
    form.progress().BeginDownloadProgress();
    form.progress().SetProgressMaximum(1000);
    form.progress().ShowTransferProgress(250, 1000);
    EXPECT_EQ(form.ProgressBar()->Max(), 1000);
    EXPECT_EQ(form.ProgressBar()->Position(), 250);
    form.progress().setBarPosition(5000);
    EXPECT_EQ(form.ProgressBar()->Position(), 1000);
    EXPECT_FALSE(form.SupportTaskBar());

    bool ran = false;
    QTimer::singleShot(0, &form, [&ran] { ran = true; });
    form.processMessages();
    EXPECT_TRUE(ran);
}

TEST_F(MainFormJobWindow, CloseRunsTheCloseQueryAndIsNeverRefused)
{
    int queries = 0;
    form.setCloseQuery([&] { ++queries; });
    form.show();
    EXPECT_TRUE(form.close());
    EXPECT_EQ(queries, 1);
    EXPECT_FALSE(form.testAttribute(Qt::WA_DeleteOnClose));
}

} // namespace

namespace {

class RecordingNotifications final : public DesktopNotifications
{
public:
    explicit RecordingNotifications(QStringList &shown)
        : m_shown(shown)
    {}
    void notify(const QString &summary, const QString &body, const QString &folder) override
    {
        m_shown << summary + QLatin1Char('|') + body + QLatin1Char('|') + folder;
    }

private:
    QStringList &m_shown;
};

} // namespace

TEST_F(MainFormJobWindow, LockingTheFocusedInputKeepsTheFocusOutOfTheExampleLink)
{
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto *example = form.findChild<QLineEdit *>(QStringLiteral("AdvEdit1"));
    for (const char *name : {"MoviePathEdit", "DirectoryEdit", "FormatComboBox"}) {
        SCOPED_TRACE(name);
        QWidget *input = control(name);
        input->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), input);
        form.PrepareToStart();
        EXPECT_NE(QApplication::focusWidget(), example);
        EXPECT_FALSE(example->hasSelectedText());
        form.PrepareToStop();
        EXPECT_EQ(QApplication::focusWidget(), input);
    }
}

TEST_F(MainFormJobWindow, AJobsEndShowsItsStatusTextsAndTellsTheDesktopWhenBehind)
{
    QStringList shown;
    form.setNotifications(std::make_unique<RecordingNotifications>(shown));
    const QString file = QStringLiteral("Clip <1> & more.flv");
    form.DirectoryEdit()->setText(QStringLiteral("/videos"));
    form.MoviePathEdit()->setText(QStringLiteral("http://www.youtube.com/watch?v=abc"));
    QWidget other;
    form.show();
    other.show();
    const QString complete = QStringLiteral("Download is complete: ") + file;
    const QString completePanel = QStringLiteral("Status: Download is complete");

    struct Case
    {
        const char *name;
        JobEnd end;
        bool inFront;
        QStringList expected;
        QString line; // the status texts when the box would show
        QString panel;
    };
    const Case cases[] = {
        {"completion, window behind",
         {JobOutcome::Completed, file, {}, complete, completePanel},
         false,
         {QStringLiteral("Download is complete|Clip <1> & more.flv|/videos")},
         complete,
         completePanel},
        {"failure with its own reason",
         {JobOutcome::Failed,
          {},
          QStringLiteral("No video to download."),
          QStringLiteral("Error. No video to download."),
          QStringLiteral("Status: Error")},
         false,
         {QStringLiteral("Unable to download this video.|No video to download.|")},
         QStringLiteral("Error. No video to download."),
         QStringLiteral("Status: Error")},
        {"failure that says just that: the link instead",
         {JobOutcome::Failed, {}, {}, {}, {}},
         false,
         {QStringLiteral("Unable to download this video.|http://www.youtube.com/watch?v=abc|")},
         QStringLiteral("Downloading... 1 KB"),
         QStringLiteral("Status: Downloading...")},
        {"saved, but the converter cannot start",
         {JobOutcome::ConversionFailed, file, QStringLiteral("No such file."), {}, {}},
         false,
         {QStringLiteral("Unable to convert this video.|No such file.|/videos")},
         QStringLiteral("Downloading... 1 KB"),
         QStringLiteral("Status: Downloading...")},
        {"window in front",
         {JobOutcome::Completed, file, {}, complete, completePanel},
         true,
         {},
         complete,
         completePanel},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget *front = c.inFront ? static_cast<QWidget *>(&form) : &other;
        front->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(front));
        shown.clear();
        form.setStatusLine(QStringLiteral("Downloading... 1 KB"));
        form.setStatusPanel(QStringLiteral("Status: Downloading..."));
        form.jobEnds(c.end);
        EXPECT_EQ(shown, c.expected);
        EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("StatusLabel"))->text(), c.line);
        EXPECT_EQ(form.findChild<TStatusBar *>(QStringLiteral("StatusBar"))->panelText(2), c.panel);
    }
}
