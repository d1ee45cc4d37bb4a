#pragma once

#include <QString>

#include <optional>

class TMainForm;
struct StartUpEnvironment;

// Start-up and close of the main window, and its one setting: the save
// folder, kept as "SavePath" in section "Main" of "Vidlark.ini" beside the program.
class FormLifecycle
{
public:
    static QString Button1Caption(int randomDigit);
    static QString settingsPath(const QString &appDir);

    static void FormCreate(TMainForm &form, const StartUpEnvironment &env);
    // Marks the state as closing, switches launcher progress off and saves the
    // folder; a failed save shows one error box. The close itself is never refused.
    static void FormCloseQuery(TMainForm &form);

    static void LoadSettings(TMainForm &form);
    // "Extractor" in section "Main": the external extractor program, or
    // "none"; nothing when the file or the key is missing.
    static std::optional<QString> ExtractorSetting(const QString &appDir);
    // Returns an error text, empty on success.
    static QString SaveSettings(TMainForm &form);
};
