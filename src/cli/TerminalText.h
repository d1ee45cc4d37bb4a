#pragma once

#include <QString>

// A text as it may reach a terminal: control characters (C0, DEL, C1) and the
// bidirectional formatting characters are written as escapes ("\x1b",
// "\u202e"), so that a title chosen by a server can neither move the cursor,
// ring the bell nor turn the line around. Line feeds stay when asked to.
QString TerminalText(const QString &text, bool keepLineFeeds = false);
