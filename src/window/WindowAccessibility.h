#pragma once

// Screen readers hear the window's own drawn widgets as what they are: the
// progress bar as a progress bar with its value and percentage, the status
// bar with its three panels as texts, the logo as a link. Each widget
// installs this when made; installing again changes nothing.
void InstallWindowAccessibility();
