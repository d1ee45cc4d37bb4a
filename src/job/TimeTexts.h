#pragma once

#include <QChar>
#include <QString>

// Elapsed milliseconds as "hh:mm:ss"; each field keeps its last two digits.
QString FormatElapsed(quint32 ms);

// A byte count as "N B", "N KB", "N.NN MB" or "N.NNN GB", halves rounded up.
QString FormatSize(qint64 bytes, QChar decimalSeparator = QLatin1Char('.'));

// "hh:mm:ss" as seconds; 0 unless the third and sixth characters are ":".
// Throws NumberReadingError for a field that is not a whole number.
qint32 TimeToSec(const QString &StrTime);

// Seconds as "hh:mm:ss"; hours of 100 or more keep all their digits.
QString SecToTime(qint32 Sec);
