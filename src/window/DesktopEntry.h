#pragma once

// The program's id on the desktop. CMake sets it and names the installed
// desktop file, icons and metainfo after it, so the window, the launcher
// progress and the notifications all point at the file that is installed.
inline constexpr char DesktopEntryId[] = VIDLARK_APP_ID;
inline constexpr char DesktopFileName[] = VIDLARK_APP_ID ".desktop";
