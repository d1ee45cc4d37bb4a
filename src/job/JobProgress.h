#pragma once

#include <QtGlobal>

// The progress display of a job: the bar and the launcher entry. A front end
// shows as much of it as it has; the defaults show nothing.
class JobProgress
{
public:
    virtual ~JobProgress() = default;
    // Bar at 0 in the download colour; launcher progress normal, 0 of 100.
    virtual void BeginDownloadProgress() {}
    virtual void SetProgressMaximum(qint32) {}
    // The bar alone; a position outside the bar's range is clamped by the bar.
    virtual void setBarPosition(qint32) {}
    // Bar at done; launcher progress done of total when a total is known.
    virtual void ShowTransferProgress(qint64, quint32) {}
    // Bar at 0 in the conversion colour; launcher progress paused, 0 of 100.
    virtual void BeginConversionProgress() {}
    virtual void ShowConversionProgress(qint32, qint32) {}
    // The launcher shows no progress.
    virtual void EndTaskbarProgress() {}
};
