#include "NoProxyEnvironment.h"
#include "net/HttpClient.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The program as demos and scripts start it: it names its port, answers,
// logs, and ends on a termination signal.
TEST(SampleServiceProgramTest, NamesItsPortAnswersAndLogs)
{
    clearProxyEnvironment();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("requests.jsonl"));
    QProcess program;
    program.start(QStringLiteral(SAMPLE_SERVICE_PROGRAM),
                  {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--log"), log});
    ASSERT_TRUE(program.waitForReadyRead(10000));
    const QByteArray line = program.readLine().trimmed();
    ASSERT_TRUE(line.startsWith("listening on 127.0.0.1:")) << line.toStdString();
    const QString base = QStringLiteral("http://") + QString::fromLatin1(line.mid(13));

    HttpClient client;
    client.Request.Referer = QStringLiteral("http://www.youtube.com/watch?v=Vk2xSample1");
    const QString page = client.Get(base + QStringLiteral("/watch?v=Vk2xSample1&hl=en-GB")).text;
    EXPECT_TRUE(page.contains(QLatin1String("url_encoded_fmt_stream_map")));

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject entry = QJsonDocument::fromJson(file.readLine()).object();
    EXPECT_EQ(entry.value(QStringLiteral("target")).toString(),
              QStringLiteral("/watch?v=Vk2xSample1&hl=en-GB"));
    const QJsonArray headers = entry.value(QStringLiteral("headers")).toArray();
    EXPECT_TRUE(headers.contains(QJsonArray{QStringLiteral("Referer"), client.Request.Referer}));
}

// After the line scripts read: each web page with both of its links, the release
// folder for the extractor's update, then the flaky demo.
TEST(SampleServiceProgramTest, PrintsLinksAfterTheLineScriptsRead)
{
    clearProxyEnvironment();
    QProcess program;
    program.start(QStringLiteral(SAMPLE_SERVICE_PROGRAM),
                  {QStringLiteral("--port"), QStringLiteral("0")});
    ASSERT_TRUE(program.waitForReadyRead(10000));
    const QByteArray first = program.readLine().trimmed();
    ASSERT_TRUE(first.startsWith("listening on 127.0.0.1:")) << first.toStdString();
    const QByteArray base = "http://" + first.mid(13);
    QList<QByteArray> lines;
    while (lines.size() < 5 && (program.canReadLine() || program.waitForReadyRead(10000)))
        lines.append(program.readLine().trimmed());
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines.takeLast().endsWith(
        ": http://www.youtube.com/watch?v=vidlark0009 (through the proxy)"));
    EXPECT_TRUE(lines.takeLast().endsWith(": " + base + "/releases/2099.01.01"));

    HttpClient client;
    const struct
    {
        const char *path;
        const char *text; // in the page
    } pages[] = {
        {"/pages/progressive", "<video"},
        {"/pages/hls", "index.m3u8"},
        // The feed's links name the host it was asked from.
        {"/lists/sample.rss", "<link>http://127.0.0.1:"},
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i].toStdString());
        EXPECT_TRUE(lines[i].contains(" http://media.sample.test" + QByteArray(pages[i].path) +
                                      " (through the proxy " + base + ")"));
        const QByteArray direct = base + pages[i].path;
        ASSERT_TRUE(lines[i].endsWith(" " + direct));
        EXPECT_TRUE(
            client.Get(QString::fromLatin1(direct)).text.contains(QLatin1String(pages[i].text)));
    }
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
}

TEST(SampleServiceProgramTest, RefusesUnknownArguments)
{
    QProcess program;
    program.start(QStringLiteral(SAMPLE_SERVICE_PROGRAM), {QStringLiteral("--verbose")});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 2);
}

} // namespace
