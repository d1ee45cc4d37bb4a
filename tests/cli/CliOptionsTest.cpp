#include "cli/CliOptions.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

// The man page's OPTIONS section explains every option the usage lists (it
// once lacked --extractor).
TEST(CliOptions, TheManPageExplainsEveryOption)
{
    QFile page(QStringLiteral(CLI_MAN_PAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << CLI_MAN_PAGE;
    const QString man = QString::fromUtf8(page.readAll());
    const qsizetype from = man.indexOf(QStringLiteral("\n.SH OPTIONS"));
    ASSERT_GE(from, 0);
    const QString options = man.mid(from, man.indexOf(QStringLiteral("\n.SH "), from + 1) - from);
    QStringList listed;
    for (const QRegularExpressionMatch &m :
         QRegularExpression(QStringLiteral("--[a-z-]+")).globalMatch(CliUsage()))
        listed << m.captured();
    listed.removeDuplicates();
    ASSERT_GE(listed.size(), 9); // the usage's options were found at all
    for (QString option : std::as_const(listed)) {
        SCOPED_TRACE(option.toStdString());
        // troff writes each "-" of an option as "\-".
        EXPECT_TRUE(options.contains(option.replace(QLatin1Char('-'), QStringLiteral("\\-"))));
    }
}

TEST(CliOptions, DefaultsAndEveryOption)
{
    const QString cwd = QStringLiteral("/work/here");
    const struct
    {
        QStringList args;
        int format;
        QString folder;
        bool avi, mp4;
        std::optional<bool> answer;
        QString link;
    } cases[]{
        {{QStringLiteral("L")}, 2, cwd, false, false, std::nullopt, QStringLiteral("L")},
        {{QStringLiteral("--format"), QStringLiteral("0"), QStringLiteral("L")},
         0,
         cwd,
         false,
         false,
         std::nullopt,
         QStringLiteral("L")},
        {{QStringLiteral("--format=5"), QStringLiteral("L")},
         5,
         cwd,
         false,
         false,
         std::nullopt,
         QStringLiteral("L")},
        // The console names of the rows, in any letter case.
        {{QStringLiteral("--format"), QStringLiteral("MP3"), QStringLiteral("L")},
         10,
         cwd,
         false,
         false,
         std::nullopt,
         QStringLiteral("L")},
        {{QStringLiteral("--format=2160p"), QStringLiteral("L")},
         8,
         cwd,
         false,
         false,
         std::nullopt,
         QStringLiteral("L")},
        {{QStringLiteral("--dir"), QStringLiteral("sub"), QStringLiteral("L")},
         2,
         QStringLiteral("/work/here/sub"),
         false,
         false,
         std::nullopt,
         QStringLiteral("L")},
        {{QStringLiteral("--dir=/abs"), QStringLiteral("L")},
         2,
         QStringLiteral("/abs"),
         false,
         false,
         std::nullopt,
         QStringLiteral("L")},
        {{QStringLiteral("--convert"), QStringLiteral("avi"), QStringLiteral("L")},
         2,
         cwd,
         true,
         false,
         std::nullopt,
         QStringLiteral("L")},
        {{QStringLiteral("--convert=mp4"), QStringLiteral("L")},
         2,
         cwd,
         false,
         true,
         std::nullopt,
         QStringLiteral("L")},
        {{QStringLiteral("L"), QStringLiteral("--yes")},
         2,
         cwd,
         false,
         false,
         true,
         QStringLiteral("L")},
        {{QStringLiteral("--no"), QStringLiteral("--no"), QStringLiteral("L")},
         2,
         cwd,
         false,
         false,
         false,
         QStringLiteral("L")},
        {{QStringLiteral("--"), QStringLiteral("-odd-link")},
         2,
         cwd,
         false,
         false,
         std::nullopt,
         QStringLiteral("-odd-link")},
        {{QStringLiteral("")}, 2, cwd, false, false, std::nullopt, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliParseResult result = ParseCliArguments(c.args, cwd);
        ASSERT_TRUE(result.options.has_value()) << result.error.toStdString();
        EXPECT_EQ(result.options->format, c.format);
        EXPECT_EQ(result.options->folder, c.folder);
        EXPECT_EQ(result.options->toAvi, c.avi);
        EXPECT_EQ(result.options->toMp4, c.mp4);
        EXPECT_EQ(result.options->answer, c.answer);
        EXPECT_EQ(result.options->link, c.link);
    }
}

TEST(CliOptions, BadUsageIsRefusedWithAReason)
{
    const QStringList cases[]{
        {},
        {QStringLiteral("a"), QStringLiteral("b")},
        {QStringLiteral("--format"), QStringLiteral("11"), QStringLiteral("L")},
        {QStringLiteral("--format"), QStringLiteral("-1"), QStringLiteral("L")},
        {QStringLiteral("--format"), QStringLiteral("two"), QStringLiteral("L")},
        {QStringLiteral("L"), QStringLiteral("--format")},
        {QStringLiteral("--convert"), QStringLiteral("mkv"), QStringLiteral("L")},
        {QStringLiteral("--dir="), QStringLiteral("L")},
        {QStringLiteral("--yes"), QStringLiteral("--no"), QStringLiteral("L")},
        {QStringLiteral("--yes=1"), QStringLiteral("L")},
        {QStringLiteral("--verbose"), QStringLiteral("L")},
        {QStringLiteral("-x"), QStringLiteral("L")},
        {QStringLiteral("L"), QStringLiteral("--"), QStringLiteral("M")},
        {QStringLiteral("L"), QStringLiteral("--extractor")},
        {QStringLiteral("--extractor="), QStringLiteral("L")},
        {QStringLiteral("--extractor"), QStringLiteral(" "), QStringLiteral("L")},
        {QStringLiteral("--subs"), QStringLiteral("en,../de"), QStringLiteral("L")},
        {QStringLiteral("L"), QStringLiteral("--subs")},
    };
    for (const QStringList &args : cases) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const CliParseResult result = ParseCliArguments(args, QStringLiteral("/"));
        EXPECT_FALSE(result.options.has_value());
        EXPECT_FALSE(result.help);
        EXPECT_FALSE(result.error.isEmpty());
    }
    EXPECT_TRUE(ParseCliArguments({QStringLiteral("--help")}, QStringLiteral("/")).help);
    EXPECT_EQ(ParseCliArguments({QStringLiteral("--subs= en, de "), QStringLiteral("L")},
                                QStringLiteral("/"))
                  .options->subtitles,
              QStringLiteral("en,de"));
    EXPECT_TRUE(CliUsage().startsWith(QStringLiteral("Usage: vidlark-cli")));
}

TEST(CliOptions, ContinueAndRetries)
{
    const struct
    {
        QStringList args;
        bool resume;
        int retries;
        int connections = 0;
    } cases[]{
        {{QStringLiteral("L")}, true, 4},
        {{QStringLiteral("--no-continue"), QStringLiteral("L")}, false, 4},
        {{QStringLiteral("--retries"), QStringLiteral("0"), QStringLiteral("L")}, true, 0},
        {{QStringLiteral("L"), QStringLiteral("--retries=20"), QStringLiteral("--no-continue")},
         false,
         20},
        {{QStringLiteral("--connections"), QStringLiteral("1"), QStringLiteral("L")}, true, 4, 1},
        {{QStringLiteral("--connections=16"), QStringLiteral("L")}, true, 4, 16},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliParseResult result = ParseCliArguments(c.args, QStringLiteral("/"));
        ASSERT_TRUE(result.options.has_value()) << result.error.toStdString();
        EXPECT_EQ(result.options->resume, c.resume);
        EXPECT_EQ(result.options->retries, c.retries);
        EXPECT_EQ(result.options->connections, c.connections);
    }
    const QStringList bad[]{
        {QStringLiteral("--retries"), QStringLiteral("21"), QStringLiteral("L")},
        {QStringLiteral("--retries"), QStringLiteral("-1"), QStringLiteral("L")},
        {QStringLiteral("--retries"), QStringLiteral("many"), QStringLiteral("L")},
        {QStringLiteral("L"), QStringLiteral("--retries")},
        {QStringLiteral("--connections"), QStringLiteral("0"), QStringLiteral("L")},
        {QStringLiteral("--connections"), QStringLiteral("17"), QStringLiteral("L")},
        {QStringLiteral("L"), QStringLiteral("--connections")},
        {QStringLiteral("--no-continue=1"), QStringLiteral("L")},
    };
    for (const QStringList &args : bad) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const CliParseResult result = ParseCliArguments(args, QStringLiteral("/"));
        EXPECT_FALSE(result.options.has_value());
        EXPECT_FALSE(result.error.isEmpty());
    }
}

TEST(CliOptions, ExtractorNamesAProgramOrNone)
{
    const struct
    {
        QStringList args;
        QString extractor;
    } cases[] = {
        {{QStringLiteral("L")}, QString()},
        {{QStringLiteral("--extractor"), QStringLiteral("/opt/yt-dlp"), QStringLiteral("L")},
         QStringLiteral("/opt/yt-dlp")},
        {{QStringLiteral("--extractor=none"), QStringLiteral("L")}, QStringLiteral("none")},
        // A link that looks like an option still needs "--".
        {{QStringLiteral("--extractor"), QStringLiteral("x"), QStringLiteral("--"),
          QStringLiteral("-L")},
         QStringLiteral("x")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliParseResult result = ParseCliArguments(c.args, QStringLiteral("/"));
        ASSERT_TRUE(result.options.has_value()) << result.error.toStdString();
        EXPECT_EQ(result.options->extractor, c.extractor);
    }
}
