#include "cli/CliOptions.h"

#include "service/ExtractorFailures.h"
#include "service/FormatTable.h"
#include "service/SubtitleLanguages.h"
#include "steps/Transfer.h"

#include <QDir>

namespace {

// The rows of the format table as the usage lists them, wrapped under the option.
QString formatList()
{
    constexpr qsizetype Width = 80;
    const QString indent(20, QLatin1Char(' '));
    QString list = QStringLiteral("  --format N|NAME   ");
    qsizetype lineStart = 0;
    for (int i = 0; i < FormatCount; ++i) {
        const VideoFormat &format = *formatAt(i);
        // A video row says its container; "best" and the audio rows say it in their name.
        QString item = format.Kind == RowKind::Video
                           ? QStringLiteral("%1 %2 %3")
                                 .arg(i)
                                 .arg(format.FileExtension.mid(1).toUpper(), format.ConsoleName)
                           : QStringLiteral("%1 %2").arg(i).arg(format.ConsoleName);
        if (i == InitialFormatIndex)
            item += QStringLiteral(" (default)");
        item += i + 1 < FormatCount ? QStringLiteral(",") : QStringLiteral("\n");
        if (i > 0 && list.size() - lineStart + 1 + item.size() > Width) {
            list += QLatin1Char('\n');
            lineStart = list.size();
            list += indent;
        } else if (i > 0) {
            list += QLatin1Char(' ');
        }
        list += item;
    }
    return list;
}

QString formatNames()
{
    QStringList names;
    for (const VideoFormat &format : FormatTable())
        names << format.ConsoleName;
    return names.join(QStringLiteral(", "));
}

CliParseResult failure(const QString &error)
{
    CliParseResult result;
    result.error = error;
    return result;
}

} // namespace

QString CliUsage()
{
    return QStringLiteral(
               "Usage: vidlark-cli [--format N|NAME] [--dir FOLDER] [--convert avi|mp4]\n"
               "                   [--yes|--no] [--no-continue] [--retries N]\n"
               "                   [--extractor PATH|none] [--cookies-from-browser BROWSER]\n"
               "                   [--subs LANGS] [--connections N] [--playlist|--no-playlist]\n"
               "                   [--batch-file FILE] LINK...\n"
               "       vidlark-cli --update-extractor [--releases URL]\n"
               "       vidlark-cli --version [--extractor PATH|none]\n"
               "Saves the video of each LINK into FOLDER, one after another.\n") +
           formatList() +
           QStringLiteral(
               "  --dir FOLDER      save folder (default: the current folder)\n"
               "  --convert avi|mp4 convert an FLV download afterwards\n"
               "  --yes, --no       answer to the offer of a lower format (default: ask on a\n"
               "                    terminal, otherwise no)\n"
               "  --no-continue     start afresh instead of continuing an unfinished download\n"
               "  --retries N       tries after a failure that may pass (default 4, 0 to 20)\n"
               "  --extractor PATH  the external extractor for links of other sites (default:\n"
               "                    the managed copy, else yt-dlp on PATH); none turns it off\n"
               "  --cookies-from-browser BROWSER\n"
               "                    the extractor reads the site's cookies of that browser\n"
               "                    (firefox, chromium, chrome, ...); nothing else sees them\n"
               "  --subs LANGS      save the subtitles in these languages (a comma list, or\n"
               "                    all) as NAME.LANG.srt beside the video; extractor only\n"
               "  --connections N   connections of one download (1 to 16; default 4 for other\n"
               "                    sites' direct formats and their fragments, 1 otherwise)\n"
               "  --playlist, --no-playlist\n"
               "                    a link that holds a list: save all of it into a folder\n"
               "                    named after it, or only its one video (default: ask on a\n"
               "                    terminal, otherwise only the one video)\n"
               "  -a, --batch-file FILE\n"
               "                    more links, one a line (# starts a comment); - reads\n"
               "                    standard input\n"
               "  --update-extractor\n"
               "                    download the extractor's current release, check its\n"
               "                    SHA-256 and install it as the managed copy\n"
               "  --releases URL    the release folder to update from (default: yt-dlp's\n"
               "                    latest release on GitHub)\n"
               "  --version         print the version and the extractor in use\n"
               "Exit status: 0 saved (of several, all; or updated, or up to date), 1 error (of\n"
               "several, any), 2 stopped, 3 saved but the conversion failed, 64 bad usage.\n"
               "Of several videos a summary ends the output.\n");
}

CliParseResult ParseCliArguments(const QStringList &arguments, const QString &currentDir)
{
    CliOptions options;
    QString folder = currentDir;
    bool version = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString arg = arguments.at(i);
        QString value;
        bool hasInlineValue = false;
        if (arg.startsWith(QStringLiteral("--")) && arg.contains(QLatin1Char('='))) {
            const qsizetype eq = arg.indexOf(QLatin1Char('='));
            value = arg.mid(eq + 1);
            arg.truncate(eq);
            hasInlineValue = true;
        }
        const auto takeValue = [&]() -> std::optional<QString> {
            if (hasInlineValue)
                return value;
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments.at(++i);
        };

        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            CliParseResult result;
            result.help = true;
            return result;
        }
        if (arg == QStringLiteral("--version") && !hasInlineValue) {
            version = true;
            continue;
        }
        if (arg == QStringLiteral("--update-extractor") && !hasInlineValue) {
            options.updateExtractor = true;
            continue;
        }
        if (arg == QStringLiteral("--format")) {
            const std::optional<QString> v = takeValue();
            bool number = false;
            const int format = !v ? -1 : v->toInt(&number);
            options.format = number ? format : formatNamed(v.value_or(QString()));
            if (!formatAt(options.format))
                return failure(QStringLiteral("--format needs a number from 0 to %1 or a name: %2.")
                                   .arg(FormatCount - 1)
                                   .arg(formatNames()));
        } else if (arg == QStringLiteral("--dir")) {
            const std::optional<QString> v = takeValue();
            if (!v || v->isEmpty())
                return failure(QStringLiteral("--dir needs a folder."));
            folder = QDir(currentDir).absoluteFilePath(*v);
        } else if (arg == QStringLiteral("--convert")) {
            const std::optional<QString> v = takeValue();
            options.toAvi = v == QStringLiteral("avi");
            options.toMp4 = v == QStringLiteral("mp4");
            if (!options.toAvi && !options.toMp4)
                return failure(QStringLiteral("--convert needs avi or mp4."));
        } else if (arg == QStringLiteral("--extractor")) {
            const std::optional<QString> v = takeValue();
            if (!v || v->trimmed().isEmpty())
                return failure(QStringLiteral("--extractor needs a program or none."));
            options.extractor = *v;
        } else if (arg == QStringLiteral("--cookies-from-browser")) {
            const std::optional<QString> v = takeValue();
            const QString browser = v ? CookieBrowserArgument(*v) : QString();
            if (browser.isEmpty())
                return failure(QStringLiteral("--cookies-from-browser needs a browser: brave, "
                                              "chrome, chromium, edge, firefox, opera, safari, "
                                              "vivaldi or whale."));
            options.cookiesFromBrowser = browser;
        } else if (arg == QStringLiteral("--releases")) {
            const std::optional<QString> v = takeValue();
            const QString url = v ? v->trimmed() : QString();
            if (!url.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) &&
                !url.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive))
                return failure(QStringLiteral("--releases needs an http or https address."));
            options.releases = url;
        } else if (arg == QStringLiteral("--subs")) {
            const std::optional<QString> v = takeValue();
            if (!v || !IsSubtitleLanguageList(*v))
                return failure(QStringLiteral("--subs needs languages like en,de or all."));
            options.subtitles = SubtitleLanguageList(*v);
        } else if ((arg == QStringLiteral("--yes") || arg == QStringLiteral("--no")) &&
                   !hasInlineValue) {
            const bool yes = arg == QStringLiteral("--yes");
            if (options.answer && *options.answer != yes)
                return failure(QStringLiteral("--yes and --no exclude each other."));
            options.answer = yes;
        } else if ((arg == QStringLiteral("--playlist") ||
                    arg == QStringLiteral("--no-playlist")) &&
                   !hasInlineValue) {
            const bool whole = arg == QStringLiteral("--playlist");
            if (options.playlist && *options.playlist != whole)
                return failure(QStringLiteral("--playlist and --no-playlist exclude each other."));
            options.playlist = whole;
        } else if (arg == QStringLiteral("--batch-file") || arg == QStringLiteral("-a")) {
            const std::optional<QString> v = takeValue();
            if (!v || v->isEmpty() || !options.batchFile.isEmpty())
                return failure(
                    QStringLiteral("--batch-file needs one file, or - for standard input."));
            options.batchFile =
                *v == QStringLiteral("-") ? *v : QDir(currentDir).absoluteFilePath(*v);
        } else if (arg == QStringLiteral("--no-continue") && !hasInlineValue) {
            options.resume = false;
        } else if (arg == QStringLiteral("--retries")) {
            const std::optional<QString> v = takeValue();
            bool ok = false;
            const int retries = v ? v->toInt(&ok) : -1;
            if (!ok || retries < 0 || retries > MaxRetries)
                return failure(QStringLiteral("--retries needs a number from 0 to 20."));
            options.retries = retries;
        } else if (arg == QStringLiteral("--connections")) {
            const std::optional<QString> v = takeValue();
            bool ok = false;
            const int connections = v ? v->toInt(&ok) : -1;
            if (!ok || connections < 1 || connections > MaxConnections)
                return failure(QStringLiteral("--connections needs a number from 1 to 16."));
            options.connections = connections;
        } else if (arg == QStringLiteral("--") && !hasInlineValue) {
            // Whatever follows is a link, even one that starts with "-".
            options.links += arguments.mid(i + 1);
            break;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return failure(QStringLiteral("Unknown option ") + arguments.at(i) + QLatin1Char('.'));
        } else {
            options.links.append(arguments.at(i));
        }
    }
    if (version && options.updateExtractor)
        return failure(QStringLiteral("--version and --update-extractor exclude each other."));
    if (!options.releases.isEmpty() && !options.updateExtractor)
        return failure(QStringLiteral("--releases goes with --update-extractor."));
    const bool noDownload = version || options.updateExtractor;
    const bool linkGiven = !options.links.isEmpty() || !options.batchFile.isEmpty();
    if (noDownload && linkGiven)
        return failure(version ? QStringLiteral("--version takes no link.")
                               : QStringLiteral("--update-extractor takes no link."));
    if (!linkGiven && !noDownload)
        return failure(QStringLiteral("Give the link of a video."));
    options.link = options.links.value(0);
    options.folder = folder;
    CliParseResult result;
    result.options = options;
    result.version = version;
    return result;
}
