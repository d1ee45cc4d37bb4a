#pragma once

#include "net/HttpBodySink.h"

#include <QFile>
#include <QString>

// The file a download is written into. It is created only once the response's
// body begins, so a failed connection or an error status leaves an older file
// of that name as it was. Then it is made anew (a fresh file, never written
// through a link or into a copy someone else has open), locked against other
// openers, and extended to the announced length at once so that a full disk
// shows before the transfer, not in the middle of it.
class TargetFile final : public HttpBodySink
{
public:
    explicit TargetFile(QString path);
    ~TargetFile() override;
    TargetFile(const TargetFile &) = delete;
    TargetFile &operator=(const TargetFile &) = delete;

    bool bodyBegins(qint64 announced) override;
    bool write(const char *data, qint64 size) override;

    // Cuts the file back to the bytes written and closes it. False when that
    // failed; true when the file was never created.
    bool finish();

private:
    QFile m_file;
    qint64 m_written = 0;
    bool m_created = false;
};
