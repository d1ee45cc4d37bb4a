#pragma once

#include <QString>
#include <QStringList>

#include <optional>

constexpr int MaxRetries = 20;

// What the console front end was asked to do.
struct CliOptions
{
    int format = 2;               // index into the format table
    QString folder;               // the save folder, absolute
    bool toAvi = false;           // --convert avi
    bool toMp4 = false;           // --convert mp4
    std::optional<bool> answer;   // --yes / --no; unset: ask on a terminal, else No
    bool resume = true;           // false: --no-continue
    int retries = 4;              // --retries N: attempts after the first
    QString extractor;            // --extractor PATH|none; empty: the managed copy, else PATH's
    QString cookiesFromBrowser;   // --cookies-from-browser BROWSER, as yt-dlp takes it
    bool updateExtractor = false; // --update-extractor: update the managed copy, no download
    QString releases;             // --releases URL: the update's release folder
    QString subtitles;            // --subs LANGS: "en,de", "all"; empty: none
    int connections = 0;          // --connections N (1 to 16); 0: each route's own
    std::optional<bool> playlist; // --playlist / --no-playlist; unset: ask on a terminal, else No
    QString link;                 // the first of links
    QStringList links;            // the arguments', then the batch file's
    QString batchFile;            // --batch-file FILE: more links, one a line; "-": standard input
};

struct CliParseResult
{
    std::optional<CliOptions> options; // empty: see help or error
    bool help = false;                 // --help: print the usage, succeed
    bool version = false;              // --version: print the versions (options are set), succeed
    QString error;                     // bad usage, one line
};

// Parses the arguments after the program name; relative folders are taken
// from currentDir. --update-extractor and --version take no link.
CliParseResult ParseCliArguments(const QStringList &arguments, const QString &currentDir);

QString CliUsage();
