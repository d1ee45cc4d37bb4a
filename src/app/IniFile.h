#pragma once

#include <QString>

#include <optional>

// A minimal INI reader and writer that behaves like the Windows profile calls:
// section and key names compare without letter case, a value is read without
// its surrounding blanks (and one pair of enclosing quotes), and a write
// changes only the one line of the key; every other line stays byte for byte.
// A value that would lose blanks or quotes when read is written inside quotes.
// QSettings is not used because it escapes backslashes and quotes values,
// which changes what other INI readers see.
class IniFile
{
public:
    static std::optional<QString> value(const QString &content, const QString &section,
                                        const QString &key);
    static QString withValue(const QString &content, const QString &section, const QString &key,
                             const QString &value);

    // The value in the file at `path`; nothing when the file or the key is missing.
    static std::optional<QString> readValue(const QString &path, const QString &section,
                                            const QString &key);
    // Creates the file and the section as needed. Returns an error text, empty on success.
    static QString writeValue(const QString &path, const QString &section, const QString &key,
                              const QString &value);
};
