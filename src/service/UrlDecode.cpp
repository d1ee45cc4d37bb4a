#include "service/UrlDecode.h"

qint64 HexToInt64(const QString &text)
{
    // Only ASCII letters are folded: full case mapping would read the
    // ligature U+FB00 as the two digits "FF".
    QStringView digits = text;
    if (digits.endsWith(QLatin1Char('H')) || digits.endsWith(QLatin1Char('h')))
        digits.chop(1);
    // Unsigned arithmetic: a long text wraps instead of overflowing.
    quint64 value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        quint64 digit = 0;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else
            return 0;
        value = value * 16 + digit;
    }
    return static_cast<qint64>(value);
}

QString UrlDecode(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%')) {
            if (i + 2 >= text.size()) {
                result.append(QChar(u'\0'));
                break;
            }
            const qint64 value = HexToInt64(text.mid(i + 1, 2));
            result.append(QChar(static_cast<char16_t>(value & 0xFFFF)));
            i += 2;
        } else if (c == QLatin1Char('+')) {
            result.append(QLatin1Char(' '));
        } else {
            result.append(c);
        }
    }
    return result;
}
