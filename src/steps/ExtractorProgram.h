#pragma once

#include "job/JobSteps.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

class JobPulse;

// The extractor program that runs, first of three places: a setting (the
// window's Extractor=, the console's --extractor) names it, "none" (any
// letter case) turning the route off (empty); else the managed copy, when
// it is there and may be run; else yt-dlp found on PATH (empty when there is
// none). A path or a program name in the setting is taken as given.
QString ChooseExtractorProgram(const std::optional<QString> &setting,
                               const QString &managedCopy = {});

// Whether the setting names a program (or "none"), which then runs whatever
// the managed copy or PATH hold.
bool ExtractorSettingNamesOne(const std::optional<QString> &setting);

// What every run of the extractor begins with: one video, no warnings, and
// none of the user's own configuration files, which may make it only
// simulate, save elsewhere or change the lines the route reads. With a
// browser named (CookieBrowserArgument), the extractor reads that browser's
// cookies for the site; they never reach a request of the program's own.
QStringList ExtractorCommonArguments(const QString &cookiesFromBrowser = {});

// The version the program prints for --version (ExtractorVersionLine), at
// most VersionTimeLimitMs; empty when it prints none. With a pulse, a Stop
// or a close ends the wait.
constexpr int VersionTimeLimitMs = 15000;
QString ExtractorVersion(const QString &program, JobPulse *pulse = nullptr);

// The extractor the setting chooses, with its version.
ExtractorInUse DescribeExtractorProgram(const QString &program, bool off);

// How the extractor failed, from the tail of its standard error: its own
// line, and its version with whether that is older than the stale limit today.
ExtractorFailure DescribeExtractorFailure(const QString &program, QByteArrayView errors,
                                          JobPulse &pulse, QDate today);
