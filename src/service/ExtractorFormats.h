#pragma once

#include "service/ExtractorInfo.h"

#include <QList>
#include <QString>

#include <optional>

// The format of the external extractor's video that stands for one of the six
// rows of the format table. A row asks for a height (240, 360, 480, 720 or
// 1080 lines, each the band of heights around it) and, for the MP4 rows, the
// MP4 container; a format of unknown height fits every row, after those whose
// height is known. Among those that fit, a format with both video and audio
// comes first, then one the program can fetch itself (plain http or https),
// then the higher bitrate, then the later one (the extractor lists worst first).
struct ChosenExtractorFormat
{
    bool OwnTransfer = false;                         // plain http(s): the program's own transfer
    QString Url;                                      // for the own transfer
    QList<std::pair<QByteArray, QByteArray>> Headers; // for the own transfer
    QString Selector;                                 // for the extractor: its format selection
    QString MergeFormat; // the container the extractor merges into; may be empty
    QString
        FileExtension; // with its dot: ".mp4", ".webm", ...; the row's for a word of no container
    int Height = 0;    // of the chosen format; 0 when unknown
};

// Whether an extension names a media container a file may be saved as.
bool IsMediaContainer(const QString &extension);

// The height band a height falls in: 240, 360, 480, 720 or 1080; 0 for an
// unknown height, -1 for one above every band.
int HeightBand(int height);

// The row's format of the video; nothing when the video has none that fits.
std::optional<ChosenExtractorFormat> ChooseExtractorFormat(const QList<ExtractorFormat> &formats,
                                                           int formatIndex);
