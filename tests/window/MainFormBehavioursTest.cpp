#include "RecordingDesktopShell.h"
#include "RecordingMessageBoxes.h"
#include "markup/HTMLCheckBox.h"
#include "markup/HTMLComboBox.h"
#include "window/DesktopShell.h"
#include "window/Image.h"
#include "window/MainForm.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MainFormBehaviours : public testing::Test
{
protected:
    TMainForm form;
    RecordingDesktopShell *shell = nullptr;
    RecordingMessageBoxes *boxes = nullptr;

    void SetUp() override
    {
        auto recording = std::make_unique<RecordingDesktopShell>();
        shell = recording.get();
        form.setDesktopShell(std::move(recording));
        auto recordingBoxes = std::make_unique<RecordingMessageBoxes>();
        boxes = recordingBoxes.get();
        form.setMessageBoxes(std::move(recordingBoxes));
        form.show();
    }
    template <typename T = QWidget> T *control(const char *name)
    {
        T *widget = form.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char *name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    void chooseFormat(int index)
    {
        auto *list = control<THTMLComboBox>("FormatComboBox");
        list->setCurrentIndex(index);
        Q_EMIT list->activated(index); // what a choice by the user sends
    }
};

} // namespace

TEST_F(MainFormBehaviours, FormatChoiceSwitchesConvertBoxesKeepingTheirTicks)
{
    auto *avi = control<THTMLCheckBox>("ConvertAVICheckBox");
    auto *mp4 = control<THTMLCheckBox>("ConvertMP4CheckBox");
    click("ConvertAVICheckBox");
    ASSERT_TRUE(avi->isChecked());
    const struct
    {
        int format;
        bool enabled;
    } steps[]{{4, false}, {2, true}, {1, false}, {0, true}, {5, false}, {3, true}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.format);
        chooseFormat(step.format);
        EXPECT_EQ(avi->isEnabled(), step.enabled);
        EXPECT_EQ(mp4->isEnabled(), step.enabled);
        EXPECT_TRUE(avi->isChecked());
        EXPECT_FALSE(mp4->isChecked());
    }
}

TEST_F(MainFormBehaviours, StepDownFromCodeLeavesConvertBoxesUntilTheJobEnds)
{
    auto *avi = control<THTMLCheckBox>("ConvertAVICheckBox");
    form.setFormatIndex(4);
    EXPECT_TRUE(avi->isEnabled());
    form.PrepareToStop();
    EXPECT_FALSE(avi->isEnabled());
}

TEST_F(MainFormBehaviours, ConvertBoxesExcludeEachOther)
{
    auto *avi = control<THTMLCheckBox>("ConvertAVICheckBox");
    auto *mp4 = control<THTMLCheckBox>("ConvertMP4CheckBox");
    const struct
    {
        const char *clicked;
        bool avi, mp4;
    } steps[]{
        {"ConvertAVICheckBox", true, false}, {"ConvertMP4CheckBox", false, true},
        {"ConvertAVICheckBox", true, false}, {"ConvertAVICheckBox", false, false},
        {"ConvertMP4CheckBox", false, true}, {"ConvertMP4CheckBox", false, false},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.clicked);
        click(step.clicked);
        EXPECT_EQ(avi->isChecked(), step.avi);
        EXPECT_EQ(mp4->isChecked(), step.mp4);
    }
    // A tick set from code runs no handler, so both can end up ticked.
    avi->setChecked(true);
    mp4->setChecked(true);
    EXPECT_TRUE(avi->isChecked());
}

TEST_F(MainFormBehaviours, BrowseChangesTheFolderOnlyForADifferentChoice)
{
    auto *folder = control<QLineEdit>("DirectoryEdit");
    const QString title = QStringLiteral("Select directory to save downloaded file");
    const struct
    {
        const char *field;
        std::optional<const char *> answer;
        const char *startFolder; // null: the process's current folder
        const char *fieldAfter;
    } cases[]{
        {"/home/u/Videos", "/home/u/Videos", "/home/u/Videos", "/home/u/Videos"},
        {"/home/u/Videos/", "/home/u/Videos", "/home/u/Videos", "/home/u/Videos"},
        {"/home/u/videos", "/home/u/Videos", "/home/u/videos", "/home/u/Videos"},
        {"/home/u/Videos", std::nullopt, "/home/u/Videos", "/home/u/Videos"},
        {"", "/srv/media", nullptr, "/srv/media"},
        {"/", "/tmp", "/", "/tmp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        folder->setText(QString::fromUtf8(c.field));
        shell->calls.clear();
        shell->folderAnswer.reset();
        if (c.answer)
            shell->folderAnswer = QString::fromUtf8(*c.answer);
        bool edited = false;
        auto connection =
            QObject::connect(folder, &QLineEdit::textChanged, [&edited] { edited = true; });
        click("SelectDirectoryButton");
        QObject::disconnect(connection);
        const QString start =
            c.startFolder ? QString::fromUtf8(c.startFolder) : QDir::currentPath();
        EXPECT_EQ(shell->calls, QStringList{QStringLiteral("browse '%1' at %2").arg(title, start)});
        EXPECT_EQ(folder->text(), QString::fromUtf8(c.fieldAfter));
        EXPECT_EQ(edited, QString::fromUtf8(c.field) != QString::fromUtf8(c.fieldAfter));
    }
}

TEST_F(MainFormBehaviours, OpenExploresTheFolderWithTrailingSlash)
{
    auto *folder = control<QLineEdit>("DirectoryEdit");
    const struct
    {
        const char *field;
        QStringList calls;
    } cases[]{
        {"/home/u/Videos", {QStringLiteral("explore /home/u/Videos/")}},
        {"/home/u/Videos/", {QStringLiteral("explore /home/u/Videos/")}},
        {"", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        folder->setText(QString::fromUtf8(c.field));
        shell->calls.clear();
        click("OpenDirectoryButton");
        EXPECT_EQ(shell->calls, c.calls);
    }
}

// Help opens the help page beside the program, the logo the About box; none
// leads to a web site. They stay usable during a job; Update then has nothing
// to run.
TEST_F(MainFormBehaviours, TheLinksLeadToTheHelpPageAndTheAboutBoxAlsoDuringAJob)
{
    form.state().AppDir = QStringLiteral("/opt/vidlark/");
    for (const bool during : {false, true}) {
        SCOPED_TRACE(during);
        if (during)
            form.PrepareToStart();
        shell->calls.clear();
        boxes->shown.clear();
        for (const char *name : {"HelpButton2", "ImageLogo", "AdvToolButton2"})
            click(name);
        EXPECT_EQ(shell->calls, QStringList{QStringLiteral("open page /opt/vidlark/help.html")});
        ASSERT_EQ(boxes->shown.size(), 1);
        const QString about = boxes->shown[0];
        EXPECT_TRUE(about.startsWith(QStringLiteral("About Vidlark: Vidlark " VIDLARK_VERSION)));
        // No job: nothing is known of the extractor.
        EXPECT_TRUE(about.contains(QStringLiteral("\n\rExtractor: yt-dlp: none found\n\r")));
        EXPECT_TRUE(about.contains(QStringLiteral("\n\rHelp page: /opt/vidlark/help.html\n\r")));
        EXPECT_TRUE(
            about.contains(QStringLiteral("GNU General Public License, version 3 or later")));
    }
    shell->calls.clear();
    click("SelectDirectoryButton"); // locked during a job
    EXPECT_TRUE(shell->calls.isEmpty());
}
