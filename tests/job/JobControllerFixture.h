#pragma once

#include "FakeClock.h"
#include "RecordingJobWindow.h"
#include "job/Clock.h"
#include "job/JobController.h"
#include "job/ProgramState.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

// A job run headless: the recording window, a fake clock and fake steps that
// each let the window run one message pass.

// Each fake step lets the window run one message pass, where a test may press
// Stop or close the window, then does what the test scripted.
class FakeResolver final : public VideoResolver
{
public:
    explicit FakeResolver(MessagePass &window)
        : m_window(window)
    {}
    QString streamUrl = QStringLiteral("http://streams.test/video.flv");
    QString saveFileName = QStringLiteral("Title.flv");
    std::function<void()> during;
    QStringList resolved;  // the links asked, in order
    QList<ListEntry> list; // given for any link while lists are offered
    bool listsOffered = false;
    ResolvedVideo ResolveVideo(const QString &link) override
    {
        resolved << link;
        m_window.processMessages();
        if (during)
            during();
        if (listsOffered && !list.isEmpty()) {
            ResolvedVideo video;
            video.ListFolder = QStringLiteral("Sample List");
            video.ListEntries = list;
            return video;
        }
        return {streamUrl, streamUrl.isEmpty() ? QString() : saveFileName,
                QStringLiteral("movie_01-31-2012_14-05-09.flv")};
    }
    void offerLists(bool offer) override { listsOffered = offer; }

private:
    MessagePass &m_window;
};

class FakeTransfer final : public FileTransfer
{
public:
    explicit FakeTransfer(MessagePass &window)
        : m_window(window)
    {}
    bool result = true;
    bool fileInUse = false; // another program saves the same name
    QString url, path;
    std::function<void()> during;
    TransferResult DownloadToFile(const QString &u, const QString &p) override
    {
        url = u;
        path = p;
        m_window.processMessages();
        if (during)
            during();
        if (fileInUse)
            return TransferResult::FileInUse;
        return result ? TransferResult::Done : TransferResult::Failed;
    }

private:
    MessagePass &m_window;
};

class FakeConversion final : public ConversionStep
{
public:
    explicit FakeConversion(MessagePass &window)
        : m_window(window)
    {}
    int runs = 0;
    ConversionOrder order;
    ConversionOutcome outcome = ConversionOutcome::Finished;
    std::function<void()> during;
    ConversionOutcome RunConversion(const ConversionOrder &o) override
    {
        ++runs;
        order = o;
        m_window.processMessages();
        if (during)
            during();
        return outcome;
    }

private:
    MessagePass &m_window;
};

class JobControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(saveDir.isValid());
        ASSERT_TRUE(appDir.isValid());
        state.AppDir = appDir.path() + QLatin1Char('/');
        window.folder = saveDir.path();
        window.link = QStringLiteral("http://www.youtube.com/watch?v=abc");
    }

    // What a Stop click or a window close does when the window handles it.
    void pressStop() { job.StartButtonClick(); }
    void closeWindow() { job.cancel(Cancel::Close); }
    void onNextMessagePass(std::function<void()> action)
    {
        window.onMessagePass = [this, action] {
            window.onMessagePass = nullptr;
            action();
        };
    }

    QStringList endOf(const QStringList &calls, qsizetype count) const
    {
        return calls.mid(calls.size() - count);
    }

    QTemporaryDir saveDir;
    QTemporaryDir appDir;
    ProgramState state;
    RecordingJobWindow window;
    FakeClock clock;
    FakeResolver resolver{window};
    FakeTransfer transfer{window};
    FakeConversion conversion{window};
    JobController job{state, window.roles(), {resolver, transfer, conversion, window}, clock};
};

inline const QString Completion = QStringLiteral("Download is complete\n\rCheck \"");

inline QStringList lockCalls()
{
    return {QStringLiteral("anti-freeze true"),
            QStringLiteral("BeginDownloadProgress"),
            QStringLiteral("inputs enabled false"),
            QStringLiteral("button Stop"),
            QStringLiteral("block 100"),
            QStringLiteral("timer true")};
}

inline QStringList unlockCalls(bool convertBoxes = true)
{
    return {QStringLiteral("block 100"),
            QStringLiteral("inputs enabled true"),
            QStringLiteral("read format"),
            QStringLiteral("convert boxes enabled ") +
                (convertBoxes ? QStringLiteral("true") : QStringLiteral("false")),
            QStringLiteral("button Download"),
            QStringLiteral("timer false")};
}

inline QStringList stoppedReport()
{
    return {QStringLiteral("status line Download is stopped by the user"),
            QStringLiteral("status panel Status: Download is stopped by the user"),
            QStringLiteral("EndTaskbarProgress")};
}
