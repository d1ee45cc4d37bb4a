#pragma once

#include <QString>

// What the real job is told besides its window's inputs: the console's
// options, or the window's settings file (keys under [Main] of Vidlark.ini;
// a key the file lacks keeps its default).
struct JobSettings
{
    bool resume = true;  // continue what an earlier job left of the same stream
    int retries = 4;     // attempts after the first, for failures that may pass
    QString extractor;   // the external extractor program; empty: the route is off
    QString subtitles;   // languages to save subtitles in ("en,de", "all"); empty: none
    int connections = 0; // connections of one download (1 to 16); 0: each route's own
};
