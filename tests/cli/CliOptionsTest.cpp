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
    // Several links, in order, "--" ending the options; a batch file adds more.
    const CliParseResult many =
        ParseCliArguments({QStringLiteral("a"), QStringLiteral("--no-playlist"),
                           QStringLiteral("b"), QStringLiteral("-a"), QStringLiteral("list.txt"),
                           QStringLiteral("--"), QStringLiteral("-c")},
                          cwd);
    ASSERT_TRUE(many.options.has_value()) << many.error.toStdString();
    EXPECT_EQ(many.options->links,
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("-c")}));
    EXPECT_EQ(many.options->playlist, false);
    EXPECT_EQ(many.options->batchFile, QStringLiteral("/work/here/list.txt"));
}

TEST(CliOptions, BadUsageIsRefusedWithAReason)
{
    const QStringList cases[]{
        {},
        {QStringLiteral("--playlist"), QStringLiteral("--no-playlist"), QStringLiteral("L")},
        {QStringLiteral("-a")},
        {QStringLiteral("-a"), QStringLiteral("x"), QStringLiteral("--batch-file=y")},
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
        {QStringLiteral("L"), QStringLiteral("--extractor")},
        {QStringLiteral("--extractor="), QStringLiteral("L")},
        {QStringLiteral("--extractor"), QStringLiteral(" "), QStringLiteral("L")},
        {QStringLiteral("--subs"), QStringLiteral("en,../de"), QStringLiteral("L")},
        {QStringLiteral("L"), QStringLiteral("--subs")},
        {QStringLiteral("--cookies-from-browser"), QStringLiteral("netscape"), QStringLiteral("L")},
        {QStringLiteral("L"), QStringLiteral("--cookies-from-browser")},
        {QStringLiteral("--update-extractor"), QStringLiteral("L")},
        {QStringLiteral("--releases"), QStringLiteral("http://r.test/"), QStringLiteral("L")},
        {QStringLiteral("--update-extractor"), QStringLiteral("--releases"),
         QStringLiteral("ftp://r.test/")},
        {QStringLiteral("--update-extractor"), QStringLiteral("--releases")},
        {QStringLiteral("--update-extractor=1")},
        {QStringLiteral("--version"), QStringLiteral("L")},
        {QStringLiteral("--version"), QStringLiteral("--update-extractor")},
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

// The extractor's update and the versions take no link; the browser's
// cookies go with a download.
TEST(CliOptions, TheUpdateTheVersionAndTheCookies)
{
    const CliParseResult update =
        ParseCliArguments({QStringLiteral("--update-extractor")}, QStringLiteral("/"));
    ASSERT_TRUE(update.options.has_value()) << update.error.toStdString();
    EXPECT_TRUE(update.options->updateExtractor);
    EXPECT_TRUE(update.options->releases.isEmpty());
    EXPECT_FALSE(update.version);

    const CliParseResult from =
        ParseCliArguments({QStringLiteral("--releases=http://127.0.0.1:8/releases/2099.01.01"),
                           QStringLiteral("--update-extractor")},
                          QStringLiteral("/"));
    ASSERT_TRUE(from.options.has_value()) << from.error.toStdString();
    EXPECT_EQ(from.options->releases, QStringLiteral("http://127.0.0.1:8/releases/2099.01.01"));

    const CliParseResult version = ParseCliArguments(
        {QStringLiteral("--version"), QStringLiteral("--extractor"), QStringLiteral("none")},
        QStringLiteral("/"));
    ASSERT_TRUE(version.options.has_value()) << version.error.toStdString();
    EXPECT_TRUE(version.version);
    EXPECT_EQ(version.options->extractor, QStringLiteral("none"));

    const CliParseResult cookies =
        ParseCliArguments({QStringLiteral("--cookies-from-browser"), QStringLiteral("Firefox:Work"),
                           QStringLiteral("L")},
                          QStringLiteral("/"));
    ASSERT_TRUE(cookies.options.has_value()) << cookies.error.toStdString();
    EXPECT_EQ(cookies.options->cookiesFromBrowser, QStringLiteral("firefox:Work"));
    EXPECT_TRUE(ParseCliArguments({QStringLiteral("L")}, QStringLiteral("/"))
                    .options->cookiesFromBrowser.isEmpty());

    // The usage fits a terminal of 80 columns.
    for (const QString &line : CliUsage().split(QLatin1Char('\n')))
        EXPECT_LE(line.size(), 80) << line.toStdString();
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
