#pragma once

#include "service/ExtractorInfo.h"

#include <QList>
#include <QString>

#include <optional>

// The format of the external extractor's video that stands for one row of
// the format table. A video row asks for a height band and, for the MP4
// rows, the MP4 container; a format of unknown height fits every video row,
// after those whose height is known. Among those that fit, a format with both
// video and audio comes first, then one the program can fetch itself (plain
// http or https), then the higher bitrate, then the later one (the extractor
// lists worst first). "best" takes the highest video up to 2160 lines in any
// container. The audio rows take the best format of audio alone (an AAC one
// for M4A), else the audio of the smallest video that has some.
struct ChosenExtractorFormat
{
    bool OwnTransfer = false;                         // plain http(s): the program's own transfer
    QString Url;                                      // for the own transfer
    QList<std::pair<QByteArray, QByteArray>> Headers; // for the own transfer
    QString Selector;                                 // for the extractor: its format selection
    QString MergeFormat;      // the container the extractor merges into; may be empty
    QString FileExtension;    // of the download, with its dot; the row's for a word of no container
    int Height = 0;           // of the chosen format; 0 when unknown
    int SuffixRow = -1;       // the row whose suffix the name takes; -1: none (no height to claim)
    QString AudioTarget;      // ".m4a" or ".mp3": taken out of the download afterwards; empty: none
    bool CopiesAudio = false; // the download's audio is AAC and is copied as it is
};

// Whether an extension names a media container a file may be saved as.
bool IsMediaContainer(const QString &extension);

// The height band a height falls in: 240, 360, 480, 720, 1080, 1440 or 2160;
// 0 for an unknown height, -1 for one above every band.
int HeightBand(int height);

// The row's format of the video; nothing when the video has none that fits.
std::optional<ChosenExtractorFormat> ChooseExtractorFormat(const QList<ExtractorFormat> &formats,
                                                           int formatIndex);
