#include "job/ListArchive.h"

#include "service/ListedLines.h"

#include <QFile>

namespace {

// One key, one line, whatever the id holds.
QString lineOf(const QString &key)
{
    QString line = key.trimmed();
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line;
}

} // namespace

ListArchive::ListArchive(const QString &folder)
    : m_path(folder + FileName)
{
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QString &line : ListedLines(file.readAll()))
            m_keys.insert(line);
    }
}

bool ListArchive::add(const QString &key)
{
    const QString line = lineOf(key);
    if (line.isEmpty() || m_keys.contains(line))
        return true;
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = line.toUtf8() + '\n';
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
    m_keys.insert(line);
    return true;
}
