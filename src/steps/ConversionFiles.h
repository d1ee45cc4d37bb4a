#pragma once

#include "job/JobSteps.h"

#include <QString>

// The files of one conversion: what the converter reads and what it writes.
struct WorkFiles
{
    QString input;
    QString output;
    bool staged = false;
    bool outputStoodThere = false; // a file the run did not create is never removed
};

// Stages a copy of the download in the temporary folder under the dated
// name, or that name with "-2", "-3", ... when a file of it (or of its
// converted name) stands there already: created exclusively, never through
// a link, so no file of the user's is touched. Without a temporary folder, or
// when the copy fails, the converter works on the download itself.
WorkFiles StageDownload(const ConversionOrder &order, const QString &tempDir);

// Moves the converted file onto target, replacing an older file there only
// once the new one stands beside it under a short name of our own. When the
// move fails the converted file stays where it was, and so does the older one.
bool PutBack(const QString &converted, const QString &target);

// What any run leaves behind: never the staged copy, and no output that the
// run created without converting; a converted output that could not be put
// back is kept.
void TidyWorkFiles(const WorkFiles &files, bool keepOutput);
