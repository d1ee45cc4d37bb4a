#pragma once

#include "FileContents.h"

#include <QDir>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QThread>

// What the extractor route's tests share: the stand-in extractor and the
// sample pages, and a look at the processes a run leaves behind.
inline const QString StandIn = QStringLiteral(STAND_IN_EXTRACTOR);
inline const char *const ProgressivePage = "http://media.sample.test/pages/progressive";
inline const char *const HlsPage = "http://media.sample.test/pages/hls";

// Processes still alive (zombies do not count) whose command line mentions marker.
inline QStringList livingProcessesMentioning(const QString &marker)
{
    QStringList living;
    const QByteArray needle = marker.toUtf8();
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        pid.toInt(&number);
        if (!number)
            continue;
        const QByteArray stat =
            contentsOf(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        const qsizetype paren = stat.lastIndexOf(')');
        if (paren < 0 || stat.mid(paren + 2, 1) == "Z")
            continue;
        QByteArray command =
            contentsOf(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
        command.replace('\0', ' ');
        if (command.contains(needle))
            living.append(pid + QLatin1Char(' ') + QString::fromUtf8(command));
    }
    return living;
}

inline bool processLives(const QString &pid)
{
    const QByteArray stat = contentsOf(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
    const qsizetype paren = stat.lastIndexOf(')');
    return paren >= 0 && stat.mid(paren + 2, 1) != "Z";
}

// Whether any of the processes is still alive once `since` has run for a
// second: a signalled process takes a moment to go.
inline bool anyLivesASecondAfter(const QStringList &pids, const QElapsedTimer &since)
{
    for (;;) {
        bool living = false;
        for (const QString &pid : pids)
            living = living || processLives(pid);
        if (!living || since.elapsed() >= 1000)
            return living;
        QThread::msleep(10);
    }
}
