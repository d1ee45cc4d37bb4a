#pragma once

#include "session/JobSettings.h"

#include <QString>

#include <optional>

class TMainForm;
struct StartUpEnvironment;

// Start-up and close of the main window, and its settings in section "Main"
// of "Vidlark.ini" (beside the program when portable, else under
// $XDG_CONFIG_HOME/Vidlark): the save folder "SavePath", written at close,
// "Notify", where 0 turns the desktop notifications off, and the job's keys
// (JobSettingsOf).
class FormLifecycle
{
public:
    static QString Button1Caption(int randomDigit);

    static void FormCreate(TMainForm &form, const StartUpEnvironment &env);
    // Marks the state as closing, switches launcher progress off and saves the
    // folder; a failed save shows one error box, or is logged when nobody may
    // be there to answer it. The close itself is never refused.
    static void FormCloseQuery(TMainForm &form);

    // False when the settings file says Notify=0.
    static bool NotificationsWanted(const QString &settingsPath);
    static void LoadSettings(TMainForm &form);
    // "Extractor" in section "Main": the external extractor program, or
    // "none"; nothing when the file or the key is missing.
    static std::optional<QString> ExtractorSetting(const QString &settingsPath);
    // What the job is told by the settings file: the extractor (Extractor=,
    // else the managed copy, else yt-dlp on PATH), the update's release folder
    // (ExtractorReleases=), the browser whose cookies the extractor reads
    // (CookiesFromBrowser=) and the subtitles (Subtitles=).
    static JobSettings JobSettingsOf(const QString &settingsPath,
                                     const QString &managedExtractor = {});
    // Returns an error text, empty on success.
    static QString SaveSettings(TMainForm &form);
};
