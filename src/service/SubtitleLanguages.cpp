#include "service/SubtitleLanguages.h"

#include <QStringList>

bool IsSubtitleLanguage(const QString &language)
{
    if (language.isEmpty() || language.size() > 32)
        return false;
    for (const QChar c : language) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
              u == u'-' || u == u'_'))
            return false;
    }
    return true;
}

bool IsSubtitleLanguageList(const QString &languages)
{
    const QString list = languages.trimmed();
    if (list.isEmpty() || list.compare(QStringLiteral("all"), Qt::CaseInsensitive) == 0)
        return true;
    for (const QString &language : list.split(QLatin1Char(','))) {
        if (!IsSubtitleLanguage(language.trimmed()))
            return false;
    }
    return true;
}

QString SubtitleLanguageList(const QString &languages)
{
    QStringList items = languages.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString &item : items)
        item = item.trimmed();
    items.removeAll(QString());
    return items.join(QLatin1Char(','));
}
