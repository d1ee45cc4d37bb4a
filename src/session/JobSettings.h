#pragma once

#include <QString>

// What the real job is told besides its window's inputs: the console's
// options, or the window's settings file (keys under [Main] of Vidlark.ini;
// a key the file lacks keeps its default).
struct JobSettings
{
    bool resume = true; // continue what an earlier job left of the same stream
    int retries = 4;    // attempts after the first, for failures that may pass
    QString extractor;  // the external extractor program; empty: the route is off
    // The user named the program (or none): an update of the managed copy
    // does not change which one runs.
    bool extractorNamed = false;
    QString managedExtractor;   // where the update installs the extractor; empty: nowhere
    QString extractorReleases;  // the release folder of the update; empty: the project's own
    QString cookiesFromBrowser; // the browser whose cookies the extractor reads; empty: none
    QString subtitles;          // languages to save subtitles in ("en,de", "all"); empty: none
    int connections = 0;        // connections of one download (1 to 16); 0: each route's own
};
