#pragma once

#include <QString>

#include <functional>
#include <memory>

class DesktopNotifications;
class TaskbarProgress;
struct ProgramPlaces;

// What start-up asks of the system, replaceable in tests.
struct StartUpEnvironment
{
    QString executablePath;
    QString tempPath;                 // as the platform reports it
    std::function<int()> randomDigit; // 0 to 9, equal chances
    std::function<bool()> sessionBusAvailable;
    // Launcher progress over the session bus; may give null.
    std::function<std::unique_ptr<TaskbarProgress>()> makeTaskbar;
    // Notifications over the session bus; may give null.
    std::function<std::unique_ptr<DesktopNotifications>()> makeNotifications;
    // The save folder when none is saved: the downloads folder, else the documents folder.
    std::function<QString()> defaultSaveFolder;
    // Portable or installed, from the program's folder; unset: portable.
    std::function<ProgramPlaces(const QString &appDir)> decidePlaces;

    // The running program's environment; the desktop's backends are supplied by the caller.
    static StartUpEnvironment
    system(std::function<std::unique_ptr<TaskbarProgress>()> makeTaskbar,
           std::function<std::unique_ptr<DesktopNotifications>()> makeNotifications = nullptr);
};
