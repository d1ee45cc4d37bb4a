#pragma once

#include <QString>

#include <optional>

// The extractor program a setting names: "none" (any letter case) turns the
// route off (empty); a path or a program name is taken as given; no setting,
// or an empty one, means yt-dlp found on PATH (empty when there is none).
QString ChooseExtractorProgram(const std::optional<QString> &setting);
