#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The extractor program a setting names: "none" (any letter case) turns the
// route off (empty); a path or a program name is taken as given; no setting,
// or an empty one, means yt-dlp found on PATH (empty when there is none).
QString ChooseExtractorProgram(const std::optional<QString> &setting);

// What every run of the extractor begins with: one video, no warnings, and
// none of the user's own configuration files, which may make it only
// simulate, save elsewhere or change the lines the route reads.
QStringList ExtractorCommonArguments();
