#include "steps/ConversionFiles.h"

#include "job/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

namespace {

constexpr qint64 CopyBlock = 1 << 20;
constexpr int MaxStagingTries = 100;

// A name that something stands under, a link that leads nowhere included.
bool taken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void removeIfPresent(const QString &path)
{
    if (taken(path))
        QFile::remove(path);
}

bool copyInto(QFile &source, QFile &destination)
{
    while (!source.atEnd()) {
        const QByteArray block = source.read(CopyBlock);
        if (block.isEmpty() || destination.write(block) != block.size())
            return false;
    }
    return destination.flush();
}

bool renamed(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

WorkFiles StageDownload(const ConversionOrder &order, const QString &tempDir)
{
    const QString download = order.SaveDir + order.SaveFileName;
    WorkFiles files{download, ChangeFileExt(download, order.TargetExtension)};
    QFile source(download);
    if (!tempDir.isEmpty() && source.open(QIODevice::ReadOnly)) {
        const QString dated = ChangeFileExt(order.DefaultName, QString());
        const QString extension = order.DefaultName.mid(dated.size());
        for (int n = 1; n <= MaxStagingTries && !files.staged; ++n) {
            const QString name =
                n == 1 ? order.DefaultName : dated + QStringLiteral("-%1").arg(n) + extension;
            const QString staged = tempDir + name;
            const QString output = ChangeFileExt(staged, order.TargetExtension);
            if (taken(output))
                continue;
            QFile copy(staged);
            if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                if (taken(staged))
                    continue;
                break;
            }
            source.seek(0);
            if (!copyInto(source, copy)) {
                copy.close();
                QFile::remove(staged);
                break;
            }
            files.input = staged;
            files.output = output;
            files.staged = true;
        }
    }
    files.outputStoodThere = QFileInfo::exists(files.output);
    return files;
}

bool PutBack(const QString &converted, const QString &target)
{
    QTemporaryFile incoming(QFileInfo(target).absolutePath() + QStringLiteral("/.vidlark-XXXXXX"));
    if (!incoming.open())
        return false;
    if (renamed(converted, incoming.fileName())) {
        if (renamed(incoming.fileName(), target)) {
            incoming.setAutoRemove(false);
            return true;
        }
        renamed(incoming.fileName(), converted);
        return false;
    }
    if (errno != EXDEV)
        return false;
    // Another file system: a copy, which replaces the older file in one step.
    QFile source(converted);
    if (!source.open(QIODevice::ReadOnly) || !copyInto(source, incoming) ||
        !incoming.setPermissions(source.permissions()) || !renamed(incoming.fileName(), target))
        return false;
    incoming.setAutoRemove(false);
    source.close();
    QFile::remove(converted);
    return true;
}

void TidyWorkFiles(const WorkFiles &files, bool keepOutput)
{
    if (files.staged)
        removeIfPresent(files.input);
    if (!keepOutput && !files.outputStoodThere)
        removeIfPresent(files.output);
}
