#pragma once

#include "ExtractorTestSupport.h"
#include "FileContents.h"
#include "NoProxyEnvironment.h"
#include "RecordingJobWindow.h"
#include "SampleService.h"
#include "job/ProgramState.h"
#include "session/JobSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The real session (client, both lookup routes, transfer, extractor download)
// on the recording window, against the sample service through the proxy.
class ExtractorRoute : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(saveDir.isValid());
        ASSERT_TRUE(scratch.isValid());
        clearProxyEnvironment();
        service.start();
        ::setenv("http_proxy", service.baseUrl().toLatin1().constData(), 1);
        ::setenv("STAND_IN_PIDS", pidsFile().toLocal8Bit().constData(), 1);
        StartProgramState(state, scratch.path(), scratch.path());
        window.folder = saveDir.path();
        ytDlp = QStandardPaths::findExecutable(QStringLiteral("yt-dlp"));
    }
    void TearDown() override
    {
        ::unsetenv("http_proxy");
        ::unsetenv("STAND_IN_PIDS");
    }

    std::optional<JobOutcome> run(const QString &program, const char *link, int format)
    {
        session.setExtractor(program);
        window.link = QString::fromLatin1(link);
        window.format = format;
        return session.controller().StartButtonClick();
    }
    // Presses Stop from the first message pass that shows the transfer's progress.
    void stopOnceTransferring()
    {
        window.onMessagePass = [this] {
            if (stopped.isValid() ||
                !window.statusLine.startsWith(QStringLiteral("Downloading... ")))
                return;
            stopped.start();
            session.controller().StartButtonClick();
        };
    }
    QString pidsFile() const { return scratch.filePath(QStringLiteral("pids")); }
    QStringList standInPids() const
    {
        return QString::fromLatin1(contentsOf(pidsFile()))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList savedFiles() const
    {
        return QDir(saveDir.path()).entryList(QDir::Files | QDir::Hidden);
    }
    QString saved(const QString &name) const { return saveDir.filePath(name); }
    static QByteArray media(const char *file)
    {
        return contentsOf(SampleService::defaultMediaDir() + QLatin1Char('/') +
                          QString::fromLatin1(file));
    }
    std::vector<ServiceRequest> requestsFor(QByteArrayView pathStart) const
    {
        std::vector<ServiceRequest> found;
        for (const ServiceRequest &request : service.requests()) {
            if (request.path.startsWith(pathStart))
                found.push_back(request);
        }
        return found;
    }
    // A reason is said in the box and kept in the status texts.
    void expectNoVideo(const QString &reason = {})
    {
        const QString with = reason.isEmpty() ? reason : QLatin1Char(' ') + reason;
        for (const QString &call :
             {QStringLiteral("error box No video to download.") +
                  (reason.isEmpty() ? reason : QStringLiteral("\n\r") + reason),
              QStringLiteral("status panel Status: Error.") +
                  (reason.isEmpty() ? QStringLiteral(" No video to download.") : with),
              QStringLiteral("status line Error. No video to download.") + with}) {
            EXPECT_TRUE(window.calls.contains(call)) << call.toStdString();
        }
        EXPECT_EQ(window.statusLine, QStringLiteral("Error. No video to download.") + with);
    }

    QTemporaryDir saveDir;
    QTemporaryDir scratch;
    SampleService service;
    ProgramState state;
    RecordingJobWindow window;
    JobSession session{state, window.roles()};
    QString ytDlp;
    QElapsedTimer stopped;
};
