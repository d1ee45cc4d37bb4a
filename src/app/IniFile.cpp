#include "app/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

// A section header's name, or nothing for any other line.
std::optional<QString> sectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    return trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

bool isKeyLine(const QString &line, const QString &key)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')))
        return false;
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    return equals > 0 && trimmed.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

// Lines without their line ends; `lineEnd` is what the text uses.
QStringList splitLines(const QString &content, QString &lineEnd)
{
    lineEnd =
        content.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = content.split(QLatin1Char('\n'));
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

bool matchesSection(const QString &line, const QString &section)
{
    const auto name = sectionName(line);
    return name && name->compare(section, Qt::CaseInsensitive) == 0;
}

const QChar ByteOrderMark(0xFEFF);

// The text after a byte order mark, which is no part of the first line.
QString withoutByteOrderMark(const QString &content)
{
    return content.startsWith(ByteOrderMark) ? content.mid(1) : content;
}

// Reading drops the blanks around a value and one pair of enclosing quotes,
// so a value that has either goes inside quotes to come back whole.
QString writtenValue(const QString &value)
{
    const bool enclosed =
        value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'));
    if (enclosed || value != value.trimmed())
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

} // namespace

std::optional<QString> IniFile::value(const QString &content, const QString &section,
                                      const QString &key)
{
    QString lineEnd;
    bool inSection = false;
    for (const QString &line : splitLines(withoutByteOrderMark(content), lineEnd)) {
        if (sectionName(line)) {
            inSection = matchesSection(line, section);
            continue;
        }
        if (!inSection || !isKeyLine(line, key))
            continue;
        QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
            value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

QString IniFile::withValue(const QString &content, const QString &section, const QString &key,
                           const QString &value)
{
    QString lineEnd;
    const bool bom = content.startsWith(ByteOrderMark);
    const QString body = withoutByteOrderMark(content);
    QStringList lines = splitLines(body, lineEnd);
    // A final line end starts no line; a final line of a lone "\r" is one.
    if (body.isEmpty() || body.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    const QString entry = key + QLatin1Char('=') + writtenValue(value);

    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (matchesSection(lines.at(i), section)) {
            sectionLine = i;
            break;
        }
    if (sectionLine < 0) {
        lines << (QLatin1Char('[') + section + QLatin1Char(']')) << entry;
    } else {
        qsizetype lastEntry = sectionLine;
        qsizetype i = sectionLine + 1;
        for (; i < lines.size() && !sectionName(lines.at(i)); ++i) {
            if (isKeyLine(lines.at(i), key)) {
                lines[i] = entry;
                break;
            }
            if (!lines.at(i).trimmed().isEmpty())
                lastEntry = i;
        }
        if (i >= lines.size() || sectionName(lines.at(i)))
            lines.insert(lastEntry + 1, entry);
    }
    return (bom ? QString(ByteOrderMark) : QString()) + lines.join(lineEnd) + lineEnd;
}

std::optional<QString> IniFile::readValue(const QString &path, const QString &section,
                                          const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return value(QString::fromUtf8(file.readAll()), section, key);
}

QString IniFile::writeValue(const QString &path, const QString &section, const QString &key,
                            const QString &value)
{
    // A line break would end the value early and could plant other keys.
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return QStringLiteral("The value for %1 contains a line break.").arg(key);

    QString content;
    if (QFile existing(path); existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return existing.errorString();
        content = QString::fromUtf8(existing.readAll());
    }
    QSaveFile file(path);
    // A folder we may not create files in can still hold a writable file.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(withValue(content, section, key, value).toUtf8());
    if (!file.commit())
        return file.errorString();
    return {};
}
