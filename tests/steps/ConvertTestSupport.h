#pragma once

#include "FakeClock.h"
#include "convert/ConverterSource.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <deque>

// The stand-in converter program built beside the tests.
inline QString fakeConverterPath()
{
    return QStringLiteral(FAKE_CONVERTER);
}

// Writes a script for the fake converter, one command a line.
inline bool writeScript(const QString &path, const QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream(&file) << lines.join(QLatin1Char('\n')) << '\n';
    return true;
}

// Puts the fake converter where the stored one would go; can be told to fail
// or to write a file that is not a program.
class FakeConverterSource final : public ConverterSource
{
public:
    bool fail = false;
    bool notExecutable = false;
    int writes = 0;
    QStringList paths; // where each write went
    bool writeConverter(const QString &path) override
    {
        ++writes;
        paths << path;
        if (fail)
            return false;
        QFile::remove(path);
        if (notExecutable) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write("not a program\n") > 0;
        }
        return QFile::copy(fakeConverterPath(), path) &&
               QFile::setPermissions(path,
                                     QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    }
};

// Reads "key=value" lines the fake converter's probe command wrote.
inline QStringList probeValues(const QString &path, const QString &key)
{
    QFile file(path);
    QStringList values;
    if (!file.open(QIODevice::ReadOnly))
        return values;
    const QString prefix = key + QLatin1Char('=');
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (text.startsWith(prefix))
            values += text.mid(prefix.size());
    }
    return values;
}
