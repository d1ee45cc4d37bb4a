#include "convert/StoredConverter.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QString ResourcePath = QStringLiteral(":/converter/ffmpeg");
constexpr qint64 BlockSize = 1 << 20;

} // namespace

bool StoredConverter::available()
{
    return QFile::exists(ResourcePath);
}

bool StoredConverter::writeConverter(const QString &path)
{
    QFile stored(ResourcePath);
    if (!stored.open(QIODevice::ReadOnly))
        return false;
    // Written beside the target and renamed over it, so an old copy that is
    // still running does not stand in the way.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    while (!stored.atEnd()) {
        const QByteArray block = stored.read(BlockSize);
        if (block.isEmpty() || file.write(block) != block.size()) {
            file.cancelWriting();
            file.commit();
            return false;
        }
    }
    if (!file.commit())
        return false;
    return QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser |
                                           QFile::ExeGroup | QFile::ExeOther);
}
