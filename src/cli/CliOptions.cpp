#include "cli/CliOptions.h"

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
               "Usage: vidlark-cli [--format N|NAME] [--dir FOLDER] [--convert avi|mp4] "
               "[--yes|--no]\n"
               "                   [--no-continue] [--retries N] [--extractor PATH|none]\n"
               "                   [--subs LANGS] [--connections N] LINK\n"
               "Saves the video of LINK into FOLDER.\n") +
           formatList() +
           QStringLiteral(
               "  --dir FOLDER      save folder (default: the current folder)\n"
               "  --convert avi|mp4 convert an FLV download afterwards\n"
               "  --yes, --no       answer to the offer of a lower format (default: ask on a\n"
               "                    terminal, otherwise no)\n"
               "  --no-continue     start afresh instead of continuing an unfinished download\n"
               "  --retries N       tries after a failure that may pass (default 4, 0 to 20)\n"
               "  --extractor PATH  the external extractor for links of other sites (default:\n"
               "                    yt-dlp on PATH); none turns it off\n"
               "  --subs LANGS      save the subtitles in these languages (a comma list, or\n"
               "                    all) as NAME.LANG.srt beside the video; extractor only\n"
               "  --connections N   connections of one download (1 to 16; default 4 for other\n"
               "                    sites' direct formats and their fragments, 1 otherwise)\n"
               "Exit status: 0 saved, 1 error, 2 stopped, 3 saved but the conversion failed,\n"
               "64 bad usage.\n");
}

CliParseResult ParseCliArguments(const QStringList &arguments, const QString &currentDir)
{
    CliOptions options;
    QString folder = currentDir;
    bool linkGiven = false;

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
            if (i + 2 != arguments.size() || linkGiven)
                return failure(QStringLiteral("Give exactly one link."));
            options.link = arguments.at(++i);
            linkGiven = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return failure(QStringLiteral("Unknown option ") + arguments.at(i) + QLatin1Char('.'));
        } else {
            if (linkGiven)
                return failure(QStringLiteral("Give exactly one link."));
            options.link = arguments.at(i);
            linkGiven = true;
        }
    }
    if (!linkGiven)
        return failure(QStringLiteral("Give the link of a video."));
    options.folder = folder;
    CliParseResult result;
    result.options = options;
    return result;
}
