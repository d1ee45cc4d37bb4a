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

TEST(SampleServiceProgramTest, RefusesUnknownArguments)
{
    QProcess program;
    program.start(QStringLiteral(SAMPLE_SERVICE_PROGRAM), {QStringLiteral("--verbose")});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 2);
}

} // namespace
