#include "service/ListedLines.h"

QStringList ListedLines(const QByteArray &text)
{
    QStringList lines;
    for (const QByteArray &line : text.split('\n')) {
        const QString entry = QString::fromUtf8(line).trimmed();
        if (!entry.isEmpty() && !entry.startsWith(QLatin1Char('#')))
            lines.append(entry);
    }
    return lines;
}
