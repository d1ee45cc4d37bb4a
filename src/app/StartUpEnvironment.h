#pragma once

#include <QString>

#include <functional>
#include <memory>

class TaskbarProgress;

// What start-up asks of the system, replaceable in tests.
struct StartUpEnvironment
{
    QString executablePath;
    QString tempPath;                 // as the platform reports it
    std::function<int()> randomDigit; // 0 to 9, equal chances
    std::function<bool()> sessionBusAvailable;
    // Launcher progress over the session bus; may give null.
    std::function<std::unique_ptr<TaskbarProgress>()> makeTaskbar;
    std::function<QString()> documentsFolder;

    // The running program's environment; `makeTaskbar` is supplied by the caller.
    static StartUpEnvironment system(std::function<std::unique_ptr<TaskbarProgress>()> makeTaskbar);
};
