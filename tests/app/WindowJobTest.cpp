#include "FileContents.h"
#include "NoProxyEnvironment.h"
#include "RecordingDesktopShell.h"
#include "RecordingMessageBoxes.h"
#include "SampleService.h"
#include "app/FormLifecycle.h"
#include "app/IniFile.h"
#include "app/WindowProgram.h"
#include "markup/HTMLCheckBox.h"
#include "markup/HTMLComboBox.h"
#include "window/AdvProgressBar.h"
#include "window/AdvToolButton.h"
#include "window/MultipleVideosDialog.h"
#include "window/QtMessageBoxes.h"
#include "window/StatusBar.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

namespace {

// The real window, offscreen, against the sample service reached through the
// proxy setting: typed inputs, a real click on Download, boxes answered.
class WindowJob : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(saveDir.isValid());
        ASSERT_TRUE(appDir.isValid());
        clearProxyEnvironment();
        service.start();
        ::setenv("http_proxy", service.baseUrl().toLatin1().constData(), 1);
        form.state().AppDir = appDir.path() + QLatin1Char('/');
        form.state().TempDir = QDir::tempPath() + QLatin1Char('/');
        auto recording = std::make_unique<RecordingMessageBoxes>();
        boxes = recording.get();
        form.setMessageBoxes(std::move(recording));
        form.setCloseQuery([this] { FormLifecycle::FormCloseQuery(form); });
        form.show();
    }
    void TearDown() override { ::unsetenv("http_proxy"); }

    template <typename T = QWidget> T *control(const char *name)
    {
        return form.findChild<T *>(QString::fromLatin1(name));
    }
    void type(const char *link, int format)
    {
        QTest::keyClicks(control<QLineEdit>("MoviePathEdit"), QString::fromLatin1(link));
        control<QLineEdit>("DirectoryEdit")->setText(saveDir.path());
        control<THTMLComboBox>("FormatComboBox")->setCurrentIndex(format);
    }
    void pressDownload() { QTest::mouseClick(form.StartButton(), Qt::LeftButton); }
    // Keys only, as a user without a mouse: to the folder field and back to
    // the link field from where the focus starts, each text typed over.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void typeOver(const QString &text)
    {
        key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    void typeByKeys(const char *link)
    {
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        ASSERT_EQ(QApplication::focusWidget(), control("MoviePathEdit"));
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), control("DirectoryEdit"));
        typeOver(saveDir.path());
        key(Qt::Key_Tab, Qt::ShiftModifier);
        key(Qt::Key_Tab, Qt::ShiftModifier);
        typeOver(QString::fromLatin1(link));
    }
    // Runs `action` from the window's event loop once the transfer shows progress,
    // as a user watching the status line would.
    void onceTransferring(std::function<void()> action)
    {
        auto *watch = new QTimer(&form);
        QObject::connect(watch, &QTimer::timeout, &form, [this, watch, action] {
            if (!statusLine().startsWith(QStringLiteral("Downloading... ")))
                return;
            watch->stop();
            watch->deleteLater();
            action();
        });
        watch->start(1);
    }
    QString statusLine() { return control<QLabel>("StatusLabel")->text(); }
    QString statusPanel() { return control<TStatusBar>("StatusBar")->panelText(2); }
    void expectIdleWindow()
    {
        EXPECT_EQ(form.state().DownloadState, dsIdle);
        EXPECT_EQ(form.StartButton()->text(), QStringLiteral("Download"));
        for (const char *input : {"DirectoryEdit", "MoviePathEdit", "SelectDirectoryButton",
                                  "FormatComboBox", "ConvertAVICheckBox", "ConvertMP4CheckBox"})
            EXPECT_TRUE(control(input)->isEnabled()) << input;
        EXPECT_FALSE(form.Timer1().isActive());
    }
    QStringList savedFiles() const { return QDir(saveDir.path()).entryList(QDir::Files); }

    QTemporaryDir saveDir;
    QTemporaryDir appDir;
    SampleService service;
    WindowProgram program;
    TMainForm &form = program.form();
    RecordingMessageBoxes *boxes = nullptr;
};

} // namespace

TEST_F(WindowJob, DownloadSavesTheVideoUnderItsTitle)
{
    type("http://www.youtube.com/watch?v=vidlark0002", 4);
    boxes->answers = {true, true}; // HD and 480p are missing: step down twice
    pressDownload();

    const QString name = QStringLiteral("Two Streams Only_(360p).flv");
    EXPECT_EQ(contentsOf(saveDir.filePath(name)),
              contentsOf(SampleService::defaultMediaDir() + QStringLiteral("/sample.flv")));
    ASSERT_EQ(boxes->shown.size(), 3);
    EXPECT_TRUE(boxes->shown[0].startsWith(
        QStringLiteral("Question: Unable to download HD (720p) version of this video.")));
    EXPECT_EQ(boxes->shown[2], QStringLiteral("Information: Download is complete\n\rCheck \"") +
                                   name + QLatin1Char('"'));
    EXPECT_EQ(statusLine(), QStringLiteral("Download is complete: ") + name);
    EXPECT_EQ(statusPanel(), QStringLiteral("Status: Download is complete"));
    EXPECT_EQ(form.formatIndex(), 2);
    // The format stepped down to an FLV one: the convert boxes are offered again.
    EXPECT_TRUE(control("ConvertAVICheckBox")->isEnabled());
    expectIdleWindow();
}

TEST_F(WindowJob, StopDuringTheTransferKeepsThePartialFile)
{
    type("http://www.youtube.com/watch?v=vidlark0008", 2);
    onceTransferring([this] { QTest::mouseClick(form.StartButton(), Qt::LeftButton); });
    pressDownload();

    EXPECT_TRUE(boxes->shown.isEmpty()) << boxes->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(statusLine(), QStringLiteral("Download is stopped by the user"));
    EXPECT_EQ(statusPanel(), QStringLiteral("Status: Download is stopped by the user"));
    const QString path = saveDir.filePath(QStringLiteral("Big Generated Stream_(360p).flv"));
    const QByteArray partial = contentsOf(path);
    ASSERT_GT(partial.size(), 0);
    EXPECT_LT(partial.size(), qint64(1) << 30); // cut back to what arrived
    for (qint64 i = 0; i < partial.size(); i += 4093)
        ASSERT_EQ(partial[i], generatedByte(i)) << i;
    expectIdleWindow();

    // The next press starts a new job normally.
    control<QLineEdit>("MoviePathEdit")->setText(QStringLiteral("nonsense"));
    pressDownload();
    EXPECT_EQ(boxes->shown, QStringList{QStringLiteral("Error: No video to download.")});
}

// The canned stream that breaks off half way in its first GETs: a Stop, then
// Download again continues the part, through the retries, to the whole file.
TEST_F(WindowJob, DownloadAfterAStopResumesThePartialFile)
{
    type("http://www.youtube.com/watch?v=vidlark0009", 2);
    onceTransferring([this] { QTest::mouseClick(form.StartButton(), Qt::LeftButton); });
    pressDownload();
    ASSERT_EQ(statusLine(), QStringLiteral("Download is stopped by the user"));
    const QString path = saveDir.filePath(QStringLiteral("Flaky Stream_(360p).flv"));
    const qint64 held = QFileInfo(path).size();
    ASSERT_GT(held, 0);
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".resume")));

    service.clearRequests();
    pressDownload();
    EXPECT_EQ(
        boxes->shown.last(),
        QStringLiteral("Information: Download is complete\n\rCheck \"Flaky Stream_(360p).flv\""));
    QByteArrayList ranges;
    for (const ServiceRequest &request : service.requests()) {
        if (request.method == "GET" && request.path.startsWith("/videos/"))
            ranges.append(request.header("Range"));
    }
    ASSERT_FALSE(ranges.isEmpty());
    EXPECT_EQ(ranges.last().isEmpty(), false);
    EXPECT_TRUE(ranges.contains("bytes=" + QByteArray::number(held) + '-'))
        << ranges.join(" ").toStdString();
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("Flaky Stream_(360p).flv")});
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    ASSERT_EQ(saved.size(), qint64(1) << 28);
    const qint64 Chunk = qint64(8) << 20;
    for (qint64 at = 0; at < saved.size(); at += Chunk) {
        if (saved.read(Chunk) != bulkBytes(at, Chunk)) {
            ADD_FAILURE() << "the bytes differ in the 8 MiB from " << at;
            break;
        }
    }
    expectIdleWindow();
}

TEST_F(WindowJob, ClosingTheWindowDuringTheTransferEndsTheJob)
{
    type("http://www.youtube.com/watch?v=vidlark0008", 2);
    onceTransferring([this] { form.close(); });
    pressDownload();

    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(boxes->shown, QStringList{QStringLiteral("Error: Unable to download this video.")});
    EXPECT_EQ(statusLine(), QStringLiteral("Download is stopped by the user"));
    EXPECT_EQ(form.state().DownloadState, dsIdle);
    // The folder was saved at the close, while the job was still running.
    EXPECT_TRUE(contentsOf(appDir.filePath(QStringLiteral("Vidlark.ini")))
                    .contains(QDir::toNativeSeparators(saveDir.path()).toUtf8()));
}

TEST_F(WindowJob, MissingFolderLocksNothing)
{
    type("http://www.youtube.com/watch?v=vidlark0001", 0);
    control<QLineEdit>("DirectoryEdit")->setText(saveDir.filePath(QStringLiteral("missing")));
    pressDownload();
    EXPECT_EQ(boxes->shown,
              QStringList{QStringLiteral("Error: Please set the Download directory.")});
    EXPECT_EQ(statusLine(), QStringLiteral("Error. Please set a Download directory."));
    expectIdleWindow();
}

// As the program runs: the event loop is going when the window is closed in
// the middle of a transfer. The job winds down, its boxes (real ones here)
// do not wait for anyone, and only then does the event loop end.
TEST_F(WindowJob, ClosingDuringATransferEndsTheProgramAfterTheJob)
{
    form.setMessageBoxes(std::make_unique<QtMessageBoxes>());
    type("http://www.youtube.com/watch?v=vidlark0008", 2);
    bool jobReturned = false;
    QTimer::singleShot(0, &form, [this, &jobReturned] {
        pressDownload();
        jobReturned = true;
    });
    onceTransferring([this] { form.close(); });
    const bool quitOnClose = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(true);
    EXPECT_EQ(QApplication::exec(), 0);
    QGuiApplication::setQuitOnLastWindowClosed(quitOnClose);

    EXPECT_TRUE(jobReturned);
    EXPECT_EQ(form.state().DownloadState, dsIdle);
    EXPECT_EQ(statusLine(), QStringLiteral("Download is stopped by the user"));
}

// Today's web through the external extractor: the real yt-dlp reads the
// sample service's pages; the progressive MP4 comes through the program's own
// transfer, the HLS video through the extractor, each with the window's progress.
TEST_F(WindowJob, PagesOfTodaysWebDownloadThroughTheExtractor)
{
    const QString ytDlp = QStandardPaths::findExecutable(QStringLiteral("yt-dlp"));
    ASSERT_FALSE(ytDlp.isEmpty()) << "yt-dlp is not installed (scripts/install-deps)";
    program.session().setExtractor(ytDlp);
    const struct
    {
        const char *link;
        int format;
        QString name;
        const char *media; // byte for byte; null: remuxed by the extractor
    } cases[] = {
        // An FLV row takes its height in any container.
        {"http://media.sample.test/pages/progressive", 2,
         QStringLiteral("Sample HTML5 Video (1)_(360p).mp4"), "progressive-360.mp4"},
        {"http://media.sample.test/pages/hls", 2, QStringLiteral("Sample HLS Video (1).mp4"),
         nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        boxes->shown.clear();
        control<QLineEdit>("MoviePathEdit")->clear();
        type(c.link, c.format);
        QStringList progressSeen;
        onceTransferring([&] { progressSeen.append(statusLine()); });
        pressDownload();

        EXPECT_EQ(boxes->shown, QStringList{QStringLiteral("Information: Download is complete\n\r"
                                                           "Check \"") +
                                            c.name + QLatin1Char('"')});
        EXPECT_EQ(statusLine(), QStringLiteral("Download is complete: ") + c.name);
        EXPECT_EQ(statusPanel(), QStringLiteral("Status: Download is complete"));
        ASSERT_EQ(progressSeen.size(), 1);
        EXPECT_TRUE(progressSeen[0].endsWith(QLatin1Char('"') + c.name + QLatin1Char('"')))
            << progressSeen[0].toStdString();
        const QByteArray saved = contentsOf(saveDir.filePath(c.name));
        const QByteArray expected =
            c.media ? contentsOf(SampleService::defaultMediaDir() + QLatin1Char('/') +
                                 QString::fromLatin1(c.media))
                    : saved;
        EXPECT_EQ(saved, expected);
        EXPECT_EQ(saved.mid(4, 4), "ftyp"); // an MP4 either way
        expectIdleWindow();
    }
    EXPECT_EQ(savedFiles().size(), 2) << savedFiles().join(QLatin1Char(' ')).toStdString();
}

// Several links pasted into the link field offer the dialog of the top button;
// its Start saves them one after another, by either route.
TEST_F(WindowJob, PastedLinksAreSavedOneAfterAnother)
{
    program.session().setExtractor(QStandardPaths::findExecutable(QStringLiteral("yt-dlp")));
    control<QLineEdit>("DirectoryEdit")->setText(saveDir.path());
    const QStringList links{QStringLiteral("http://www.youtube.com/watch?v=vidlark0001"),
                            QStringLiteral("http://www.youtube.com/watch?v=vidlark0002"),
                            QStringLiteral("http://media.sample.test/pages/clip-1")};
    QApplication::clipboard()->setText(links.join(QLatin1Char('\n')));
    auto *edit = control<QLineEdit>("MoviePathEdit");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);

    auto *dialog = form.findChild<MultipleVideosDialog *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->links(), links);
    EXPECT_EQ(edit->text(), links.first());
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Start")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !boxes->shown.isEmpty(); }, 60000));

    EXPECT_EQ(boxes->shown, QStringList{QStringLiteral("Information: Saved 3 of 3 videos.")});
    EXPECT_EQ(statusLine(), QStringLiteral("Saved 3 of 3 videos."));
    QStringList expected{QStringLiteral("Vidlark Sample Clip_(360p).flv"),
                         QStringLiteral("Two Streams Only_(360p).flv"),
                         QStringLiteral("Sample Clip 1 (1).mp4")};
    expected.sort();
    EXPECT_EQ(savedFiles(), expected);
    expectIdleWindow();

    // The top button's sites are named as ones the extractor reaches.
    form.Button1()->setText(QStringLiteral("Download from Vimeo"));
    QTest::mouseClick(form.Button1(), Qt::LeftButton);
    QStringList texts;
    for (const QLabel *label :
         form.findChildren<MultipleVideosDialog *>().last()->findChildren<QLabel *>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Links of Vimeo work through the extractor.")));
}

// Return in the link field and in the folder field presses Download; while the
// completion box shows, the status texts say so already.
TEST_F(WindowJob, ReturnInEitherFieldDownloads)
{
    typeByKeys("http://www.youtube.com/watch?v=vidlark0001");
    QStringList statusBehindBox;
    boxes->onShow = [&] { statusBehindBox << statusLine() << statusPanel(); };
    key(Qt::Key_Return);
    const QString first = QStringLiteral("Vidlark Sample Clip_(360p).flv");
    EXPECT_EQ(boxes->shown, QStringList{QStringLiteral("Information: Download is complete\n\r"
                                                       "Check \"") +
                                        first + QLatin1Char('"')});
    EXPECT_EQ(statusBehindBox, QStringList({QStringLiteral("Download is complete: ") + first,
                                            QStringLiteral("Status: Download is complete")}));

    // The focus is back in the link field.
    typeOver(QStringLiteral("http://www.youtube.com/watch?v=vidlark0002"));
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    key(Qt::Key_Return);
    EXPECT_EQ(savedFiles(), QStringList({QStringLiteral("Two Streams Only_(360p).flv"), first}));
    EXPECT_EQ(contentsOf(saveDir.filePath(first)),
              contentsOf(SampleService::defaultMediaDir() + QStringLiteral("/sample.flv")));
    expectIdleWindow();
}

// Tab to Download, Space starts the job, Escape stops it as Stop does, and
// Ctrl+Q closes the window as its close box does.
TEST_F(WindowJob, SpaceOnDownloadStartsAndEscapeStops)
{
    typeByKeys("http://www.youtube.com/watch?v=vidlark0008");
    for (int tabs = 0; tabs < 12 && QApplication::focusWidget() != form.StartButton(); ++tabs)
        key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form.StartButton());
    QString running;
    onceTransferring([&] {
        running = form.StartButton()->text();
        key(Qt::Key_Escape);
    });
    key(Qt::Key_Space);

    EXPECT_EQ(running, QStringLiteral("Stop"));
    EXPECT_TRUE(boxes->shown.isEmpty()) << boxes->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(statusLine(), QStringLiteral("Download is stopped by the user"));
    EXPECT_GT(QFileInfo(saveDir.filePath(QStringLiteral("Big Generated Stream_(360p).flv"))).size(),
              0);
    expectIdleWindow();
    key(Qt::Key_Escape); // idle: nothing to stop, nothing starts
    EXPECT_EQ(form.state().DownloadState, dsIdle);

    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(QFileInfo::exists(appDir.filePath(QStringLiteral("Vidlark.ini"))));
}

// The client lets the window's events through from the window's creation on.
TEST(WindowProgramTest, AntiFreezeIsOnFromTheStart)
{
    WindowProgram program;
    EXPECT_TRUE(program.session().antiFreezeActive());
}

namespace {

// The window's Update and Help against the sample service's release folder,
// with the settings file naming it; the desktop's browser is a recording.
class WindowUpkeep : public WindowJob
{
protected:
    void SetUp() override
    {
        WindowJob::SetUp();
        auto recording = std::make_unique<RecordingDesktopShell>();
        shell = recording.get();
        form.setDesktopShell(std::move(recording));
    }
    void useReleases(const QString &folder)
    {
        const QString settings = SettingsFile(form.state());
        ASSERT_EQ(IniFile::writeValue(settings, QStringLiteral("Main"),
                                      QStringLiteral("ExtractorReleases"),
                                      service.baseUrl() + QStringLiteral("/releases/") + folder),
                  QString());
        program.session().apply(
            FormLifecycle::JobSettingsOf(settings, ManagedExtractor(form.state())));
    }
    void pressUpdate() { QTest::mouseClick(control("AdvToolButton2"), Qt::LeftButton); }
    QString managed() { return ManagedExtractor(form.state()); }

    RecordingDesktopShell *shell = nullptr;
};

} // namespace

// Update is a job of its own: locked inputs, Stop on the button, a download's
// progress (a second press meanwhile does nothing); the box says the
// versions, and the About box the one in use.
TEST_F(WindowUpkeep, UpdateInstallsTheExtractorWithADownloadsProgress)
{
    useReleases(QStringLiteral("2099.01.01"));
    EXPECT_EQ(managed(), appDir.filePath(QStringLiteral("extractor/yt-dlp")));
    struct
    {
        QString line, caption;
        bool linkEnabled = true;
        int bar = -1;
    } seen;
    onceTransferring([&] {
        seen = {statusLine(), form.StartButton()->text(), control("MoviePathEdit")->isEnabled(),
                form.ProgressBar()->Position()};
        pressUpdate();
    });
    pressUpdate();

    EXPECT_TRUE(seen.line.endsWith(QStringLiteral(" - \"yt-dlp\""))) << seen.line.toStdString();
    EXPECT_EQ(seen.caption, QStringLiteral("Stop"));
    EXPECT_FALSE(seen.linkEnabled);
    EXPECT_GT(seen.bar, 0);
    const QString updated = QStringLiteral("The extractor is updated: yt-dlp 2099.01.01 (none "
                                           "before)");
    EXPECT_EQ(boxes->shown, QStringList{QStringLiteral("Information: ") + updated +
                                        QStringLiteral("\n\rIt is kept in ") + managed()});
    EXPECT_EQ(statusLine(), updated);
    EXPECT_EQ(statusPanel(), QStringLiteral("Status: The extractor is updated"));
    EXPECT_TRUE(QFileInfo(managed()).isExecutable());
    expectIdleWindow();

    boxes->shown.clear();
    QTest::mouseClick(control("ImageLogo"), Qt::LeftButton);
    ASSERT_EQ(boxes->shown.size(), 1);
    EXPECT_TRUE(boxes->shown[0].contains(QStringLiteral("\n\rExtractor: yt-dlp 2099.01.01 (") +
                                         managed() + QStringLiteral(")\n\r")))
        << boxes->shown[0].toStdString();
    EXPECT_TRUE(shell->calls.isEmpty());
}

TEST_F(WindowUpkeep, StopEndsTheUpdateAndLeavesNothingBehind)
{
    useReleases(QStringLiteral("stall/2099.01.01"));
    onceTransferring([this] { QTest::mouseClick(form.StartButton(), Qt::LeftButton); });
    QElapsedTimer took;
    took.start();
    pressUpdate();
    EXPECT_LT(took.elapsed(), 30000); // the server never sends the rest
    EXPECT_TRUE(boxes->shown.isEmpty()) << boxes->shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(statusLine(), QStringLiteral("Update is stopped by the user"));
    EXPECT_FALSE(QFileInfo::exists(managed()));
    EXPECT_EQ(
        QDir(appDir.filePath(QStringLiteral("extractor"))).entryList(QDir::Files | QDir::Hidden),
        QStringList());
    expectIdleWindow();
}

// Help opens the page built and installed with the program, as a local file,
// in the desktop's browser.
TEST_F(WindowUpkeep, HelpOpensTheHelpPageOfTheProgram)
{
    form.state().HelpPage = QStringLiteral(HELP_PAGE);
    QTest::mouseClick(control("HelpButton2"), Qt::LeftButton);
    EXPECT_EQ(shell->calls, QStringList{QStringLiteral("open page " HELP_PAGE)});
    EXPECT_TRUE(boxes->shown.isEmpty());
    const QByteArray page = contentsOf(QStringLiteral(HELP_PAGE));
    for (const char *topic :
         {"A download, step by step", "The formats", "--update-extractor", "SHA2-256SUMS",
          "CookiesFromBrowser", "ExtractorReleases", ".part", "Vidlark " VIDLARK_VERSION})
        EXPECT_TRUE(page.contains(topic)) << topic;
}
