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

TEST(IniFile, EveryValueReadsBackAsWritten)
{
    // Reading drops surrounding blanks and one pair of quotes, so values that
    // have them go inside quotes.
    struct Case
    {
        const char *value;
        const char *line;
    };
    const Case cases[] = {
        {"/home/u/My Videos ", "SavePath=\"/home/u/My Videos \""},
        {" /lead", "SavePath=\" /lead\""},
        {"\t", "SavePath=\"\t\""},
        {"\"/quoted/\"", "SavePath=\"\"/quoted/\"\""},
        {"\"", "SavePath=\""},
        {"a \"b\"", "SavePath=a \"b\""},
        {"", "SavePath="},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        const QString value = QString::fromLatin1(c.value);
        const QString after = IniFile::withValue(QStringLiteral("[Main]\n"), Main, Key, value);
        EXPECT_EQ(after,
                  QStringLiteral("[Main]\n") + QString::fromLatin1(c.line) + QLatin1Char('\n'));
        EXPECT_EQ(IniFile::value(after, Main, Key), value);
    }
}

TEST(IniFile, WritingKeepsALastLineOfOnlyACarriageReturn)
{
    const QString after =
        IniFile::withValue(QStringLiteral("[Main]\nx=1\n\r"), Main, Key, QStringLiteral("/v"));
    EXPECT_EQ(after, QStringLiteral("[Main]\nx=1\nSavePath=/v\n\n"));
}

TEST(IniFile, AByteOrderMarkIsNoPartOfTheFirstLine)
{
    // A file that starts with two marks still has one after decoding.
    const QString bom(QChar(0xFEFF));
    EXPECT_EQ(IniFile::value(bom + QStringLiteral("[Main]\nSavePath=/v\n"), Main, Key),
              QStringLiteral("/v"));
    const QString after =
        IniFile::withValue(bom + QStringLiteral("[Main]\nx=1\n"), Main, Key, QStringLiteral("/w"));
    EXPECT_EQ(after, bom + QStringLiteral("[Main]\nx=1\nSavePath=/w\n"));
    EXPECT_EQ(IniFile::value(after, Main, Key), QStringLiteral("/w"));
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
