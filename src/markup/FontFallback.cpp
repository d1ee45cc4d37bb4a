#include "markup/FontFallback.h"

#include <QFontDatabase>
#include <QStringList>

bool FontFallback::installed(const QString &family)
{
    // hasFamily resolves the name as an alias through fontconfig on every call,
    // over a million instructions each time; the window asks on every caption
    // it measures or draws, nearly always for a family the database lists under
    // that very name, which needs no resolving.
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive) ||
           QFontDatabase::hasFamily(family);
}

QString FontFallback::family(const QString &name)
{
    if (!name.isEmpty() && installed(name))
        return name;
    // Verdana's wide letters live on in DejaVu Sans; the narrower UI fonts
    // (MS Sans Serif, Tahoma) are closest to Liberation Sans (Arial's metrics).
    const bool wide = name.compare(QLatin1String("Verdana"), Qt::CaseInsensitive) == 0;
    static constexpr const char *wideCandidates[] = {"DejaVu Sans", "Liberation Sans", "Arial"};
    static constexpr const char *narrowCandidates[] = {"Liberation Sans", "Arial", "DejaVu Sans"};
    for (const char *candidate : wide ? wideCandidates : narrowCandidates) {
        const QString family = QString::fromLatin1(candidate);
        if (installed(family))
            return family;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

int FontFallback::pixelSize(int pointSize)
{
    return qMax(1, (pointSize * 96 + 36) / 72);
}

QFont FontFallback::font(const QString &name, int pointSize, bool bold)
{
    QFont font(family(name));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize(pointSize));
    font.setBold(bold);
    return font;
}
