#pragma once

#include <QString>

// A language as a subtitle's name may carry it ("en", "pt-BR", "en_auto"):
// letters, digits, "-" and "_".
bool IsSubtitleLanguage(const QString &language);

// What the subtitles setting takes: a comma list of languages, "all", or
// nothing (no subtitles); blanks around the items are allowed.
bool IsSubtitleLanguageList(const QString &languages);

// Such a list as the extractor takes it: without the blanks ("en,de", "all").
QString SubtitleLanguageList(const QString &languages);
