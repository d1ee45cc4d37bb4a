#pragma once

#include <QSet>
#include <QString>

// What a list's folder holds already: the keys of its videos saved so far,
// one a line in ".vidlark-archive", so that the list run again saves only
// what is new.
class ListArchive
{
public:
    static inline const QString FileName = QStringLiteral(".vidlark-archive");

    // Reads the archive in folder (ending with "/"); none yet holds nothing.
    explicit ListArchive(const QString &folder);

    bool holds(const QString &key) const { return m_keys.contains(key); }
    // Adds a saved video's key; false when the file could not be written.
    bool add(const QString &key);

private:
    QString m_path;
    QSet<QString> m_keys;
};
