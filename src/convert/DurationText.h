#pragma once

#include <QString>

// The converter's "Duration:" value, gathered from its output read by read.
// FFmpeg writes "  Duration: " and the time as two writes, so a reader that
// keeps up gets them as two reads: a text cut by the end of a read is
// completed from the reads that follow.
class DurationText
{
public:
    // Takes one read's text. True once the duration text is known: the 8
    // characters behind "Duration: ", or, when the marker has not come and
    // the converter has had its time (waitedTooLong), the read's characters
    // 10 to 17.
    bool take(const QString &chunk, bool waitedTooLong);

    QString text() const { return m_text; }

private:
    QString m_afterMarker;
    bool m_cut = false;
    QString m_text;
};
