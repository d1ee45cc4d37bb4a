#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// Longest file name, in bytes of its UTF-8 form, that Linux file systems accept.
inline constexpr qsizetype MaxFileNameBytes = 255;

// "movie_" + the moment as mm-dd-yyyy_hh-nn-ss, whatever the locale; no extension.
QString DatedName(const QDateTime &moment);

// Trims codes 0 to 32 from both ends, then resolves the common entities,
// removes the control characters (bidirectional ones too) and replaces the
// characters a file name cannot carry, in a fixed order.
QString CleanFileName(const QString &name);

// Cuts characters off the end of the part before the last `keptTail` characters
// until the UTF-8 form of the whole name fits in MaxFileNameBytes. A surrogate
// pair is never split: a tail starting inside one takes the whole pair.
QString FitFileName(const QString &name, qsizetype keptTail);

struct VideoFileNames
{
    QString SaveFileName;
    QString DefaultName;
};

// The names of a found video: the feed title (with its suffix, may be empty),
// else the page title from `pageTitle` (its first few thousand characters) with
// the page suffix; cleaned, and the dated name instead when that leaves nothing
// or dots only; given the format's extension (or the one given) and made to fit.
VideoFileNames NameVideoFiles(const QString &feedTitle, bool haveStreamUrl, int formatIndex,
                              const QDateTime &moment, const std::function<QString()> &pageTitle,
                              const QString &extension = QString());

// The names of a video found by the external extractor: its title with the
// feed suffix of the row it is named after (none for -1: a name never claims
// a height the file may lack), else the dated name; cleaned, given the
// extension of the container that will be downloaded and made to fit.
VideoFileNames NameExtractorVideoFiles(const QString &title, int suffixRow, const QDateTime &moment,
                                       const QString &extension);

// The folder a list of videos is saved into: its title, else its id, cleaned
// as a file name and never hidden; "Video list" when both leave nothing.
QString ListFolderName(const QString &title, const QString &id);
