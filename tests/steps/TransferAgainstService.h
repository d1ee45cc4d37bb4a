#pragma once

#include "FileContents.h"
#include "NoProxyEnvironment.h"
#include "RecordingJobWindow.h"
#include "SampleService.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"
#include "net/HttpClient.h"
#include "steps/PartialFile.h"
#include "steps/Transfer.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <gtest/gtest.h>

// The transfer of "Clip.flv" into a scratch folder from the sample service, on
// the recording window, with retries as the program makes them but pauses
// short enough for a test.
class TransferAgainstService : public ::testing::Test
{
protected:
    void SetUp() override
    {
        using namespace std::chrono_literals;
        ASSERT_TRUE(saveDir.isValid());
        clearProxyEnvironment();
        service.start();
        state.DownloadState = dsDownloading;
        state.SaveFileName = QStringLiteral("Clip.flv");
        client.setAntiFreezeActive(true);
        settings.retry.firstDelay = 10ms;
        settings.retry.maxDelay = 40ms;
        settings.retry.retryAfterCap = 40ms;
        transfer.setSettings(settings);
    }
    QString url(const QString &pathAndQuery) const { return service.baseUrl() + pathAndQuery; }
    QString target() const { return saveDir.filePath(state.SaveFileName); }
    QString part() const { return PartialFile::partPath(target()); }
    void writeOldFile() const
    {
        QFile old(target());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older download");
    }

    QTemporaryDir saveDir;
    SampleService service;
    ProgramState state;
    RecordingJobWindow window;
    JobReporter reporter{state, window.roles()};
    StatePulse pulse{state, window};
    HttpClient client;
    Transfer transfer{client, reporter, pulse};
    TransferSettings settings;
};
