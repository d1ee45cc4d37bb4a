#include "net/TextDecoding.h"

#include <QList>
#include <QStringDecoder>

QByteArray charsetOf(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray parameter = part.trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals <= 0)
            continue;
        if (parameter.first(equals).trimmed().toLower() != "charset")
            continue;
        QByteArray value = parameter.sliced(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

QString decodeBody(const QByteArray &body, const QByteArray &contentType)
{
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return QString::fromLatin1(body);
}
