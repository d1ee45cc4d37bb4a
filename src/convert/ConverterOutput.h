#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the runner reads out of the converter's console output. Each read is
// looked at by itself: nothing is carried over from one chunk to the next.

// The bytes of one read as text (Windows-1252), cut at the first NUL byte.
QString chunkText(const QByteArray &bytes);

// Seconds converted so far, from the first "time=" of the chunk, rounded
// half to even and capped at total. Nothing when the chunk holds no whole
// number. Throws NumberReadingError for a number that cannot be read.
std::optional<qint32> progressSeconds(const QString &chunk, qint32 total);

// A progress number: plain seconds with "." as decimal point, or
// hours:minutes:seconds with an optional fraction. Throws NumberReadingError.
double readProgressNumber(const QString &numberText);
