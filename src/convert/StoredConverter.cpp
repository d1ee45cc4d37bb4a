#include "convert/StoredConverter.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString ResourcePath = QStringLiteral(":/converter/ffmpeg");
constexpr qint64 BlockSize = 1 << 20;

bool writeAll(int fd, const QByteArray &block)
{
    const char *data = block.constData();
    qint64 left = block.size();
    while (left > 0) {
        const ssize_t put = ::write(fd, data, size_t(left));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        left -= put;
    }
    return true;
}

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
    // Whatever stands at the path goes first (a link is removed, never
    // followed; an old copy still running keeps its own file), and the new
    // copy is made exclusively: nothing planted there is ever written through.
    const QByteArray target = QFile::encodeName(path);
    if (::unlink(target.constData()) != 0 && errno != ENOENT)
        return false;
    const int fd =
        ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700);
    if (fd < 0)
        return false;
    bool written = true;
    while (written && !stored.atEnd()) {
        const QByteArray block = stored.read(BlockSize);
        written = !block.isEmpty() && writeAll(fd, block);
    }
    // The execute bits as a program of the user's has them, whatever the umask left.
    written = written && ::fchmod(fd, 0755) == 0;
    written = ::close(fd) == 0 && written;
    if (!written)
        ::unlink(target.constData());
    return written;
}
