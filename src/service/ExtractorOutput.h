#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What the external extractor prints while it fetches a format itself, asked
// for with --newline and ExtractorProgressTemplate: one line per update.
struct ExtractorProgress
{
    qint64 Received = 0; // bytes so far
    qint64 Total = 0;    // announced or estimated; 0 when unknown
    bool Finished = false;
};

// The --progress-template argument whose lines ParseExtractorProgress reads.
QString ExtractorProgressTemplate();

// One line of the extractor's output; nothing when it is not a progress line
// or its numbers are not numbers.
std::optional<ExtractorProgress> ParseExtractorProgress(QByteArrayView line);

// The extractor's reason for a failure: its last "ERROR: " line, without that
// prefix and without control characters, cut to a length a status panel can
// show (or to another); empty when it gave none.
constexpr qsizetype ExtractorReasonLength = 200;
QString ExtractorErrorLine(QByteArrayView output, qsizetype length = ExtractorReasonLength);
