#pragma once

#include <QString>
#include <QStringList>

#include <optional>

constexpr int MaxRetries = 20;

// What the console front end was asked to do.
struct CliOptions
{
    int format = 2;             // index into the format table
    QString folder;             // the save folder, absolute
    bool toAvi = false;         // --convert avi
    bool toMp4 = false;         // --convert mp4
    std::optional<bool> answer; // --yes / --no; unset: ask on a terminal, else No
    bool resume = true;         // false: --no-continue
    int retries = 4;            // --retries N: attempts after the first
    QString extractor;          // --extractor PATH|none; empty: yt-dlp on PATH
    QString subtitles;          // --subs LANGS: "en,de", "all"; empty: none
    int connections = 0;        // --connections N (1 to 16); 0: each route's own
    QString link;
};

struct CliParseResult
{
    std::optional<CliOptions> options; // empty: see help or error
    bool help = false;                 // --help: print the usage, succeed
    QString error;                     // bad usage, one line
};

// Parses the arguments after the program name; relative folders are taken
// from currentDir.
CliParseResult ParseCliArguments(const QStringList &arguments, const QString &currentDir);

QString CliUsage();
