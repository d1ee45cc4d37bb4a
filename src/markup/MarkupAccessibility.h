#pragma once

// Screen readers hear the markup widgets as what they show: the captions as
// plain text without tags, the check box as a check box with its tick, the
// format list's value as its item's plain text. Each widget installs this
// when made; installing again changes nothing.
void InstallMarkupAccessibility();
