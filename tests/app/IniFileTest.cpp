#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Main = QStringLiteral("Main");
const QString Key = QStringLiteral("SavePath");

TEST(IniFile, ReadsLikeTheWindowsProfileCalls)
{
    struct Case
    {
        const char *content;
        std::optional<QString> value;
    };
    const Case cases[] = {
        {"[Main]\nSavePath=/home/u/Videos\n", QStringLiteral("/home/u/Videos")},
        {"[main]\r\nsavepath = /v/ \r\n", QStringLiteral("/v/")},
        {"[Main]\nSavePath=\n", QString()},
        {"[Main]\nSavePath=\"/with space/\"\n", QStringLiteral("/with space/")},
        {"[Main]\nSavePath=C:\\Videos\\\n", QStringLiteral("C:\\Videos\\")},
        {"[Main]\nOther=1\n", std::nullopt},
        {"[Other]\nSavePath=/x\n", std::nullopt},
        {"SavePath=/x\n[Main]\n", std::nullopt},
        {"[Main]\n;SavePath=/x\n", std::nullopt},
        {"", std::nullopt},
        {"[Main]\nSavePath=/a=b;c\n[Main2]\nSavePath=/no\n", QStringLiteral("/a=b;c")},
        {"[Other]\nSavePath=/no\n[ Main ]\nSavePath=/yes", QStringLiteral("/yes")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(IniFile::value(QString::fromLatin1(c.content), Main, Key), c.value);
    }
}

TEST(IniFile, WritingChangesOnlyTheKeyLine)
{
    struct Case
    {
        const char *before;
        const char *value;
        const char *after;
    };
    const Case cases[] = {
        {"", "/v/", "[Main]\nSavePath=/v/\n"},
        {"[Main]\nSavePath=/old\n", "", "[Main]\nSavePath=\n"},
        {"; kept\n[Other]\nx = 1\n\n[Main]\nSavePath=/old\nMore=2\n", "C:\\V\\; a,b \"q\"",
         "; kept\n[Other]\nx = 1\n\n[Main]\nSavePath=C:\\V\\; a,b \"q\"\nMore=2\n"},
        {"[Main]\r\nOther=1\r\n\r\n[Next]\r\nk=v\r\n", "/v",
         "[Main]\r\nOther=1\r\nSavePath=/v\r\n\r\n[Next]\r\nk=v\r\n"},
        {"[Other]\nx=1", "/v", "[Other]\nx=1\n[Main]\nSavePath=/v\n"},
        {"[MAIN]\nsavepath=/old\n", "/new", "[MAIN]\nSavePath=/new\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.before);
        const QString after = IniFile::withValue(QString::fromLatin1(c.before), Main, Key,
                                                 QString::fromLatin1(c.value));
        EXPECT_EQ(after, QString::fromLatin1(c.after));
        EXPECT_EQ(IniFile::value(after, Main, Key), QString::fromLatin1(c.value));
    }
}

TEST(IniFile, FileRoundTripKeepsUnicodeAndReportsFailures)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vidlark.ini"));
    EXPECT_EQ(IniFile::readValue(path, Main, Key), std::nullopt);

    const QString folder = QStringLiteral("/home/u/Vidéos ☃/");
    EXPECT_EQ(IniFile::writeValue(path, Main, Key, folder), QString());
    EXPECT_EQ(IniFile::readValue(path, Main, Key), folder);

    EXPECT_NE(IniFile::writeValue(path, Main, Key, QStringLiteral("/a\n[Evil]\nx=1")), QString());
    EXPECT_EQ(IniFile::readValue(path, Main, Key), folder);

    EXPECT_NE(
        IniFile::writeValue(dir.filePath(QStringLiteral("missing/Vidlark.ini")), Main, Key, folder),
        QString());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("adir")));
    EXPECT_NE(IniFile::writeValue(dir.filePath(QStringLiteral("adir")), Main, Key, folder),
              QString());
}

} // namespace
