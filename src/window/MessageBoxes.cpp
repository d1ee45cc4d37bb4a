#include "window/MessageBoxes.h"

QString MessageBoxes::caption(Kind kind)
{
    switch (kind) {
    case Kind::Error:
        return QStringLiteral("Error");
    case Kind::Information:
        return QStringLiteral("Information");
    case Kind::CommandFailure:
        return QStringLiteral("Could not execute command line");
    case Kind::About:
        return QStringLiteral("About Vidlark");
    }
    return {};
}

QString MessageBoxes::displayText(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}
