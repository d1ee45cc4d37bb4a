#include "markup/FontFallback.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace {

bool lookUp(const QString &family)
{
    // hasFamily resolves the name as an alias through fontconfig on every call,
    // over a million instructions each time; a family the database lists under
    // that very name needs no resolving.
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive) ||
           QFontDatabase::hasFamily(family);
}

// The families the window's design names, looked up once when first asked (at
// start-up, as the window is built): the window asks for them on every caption
// it measures or draws, most of them missing here and so resolved each time.
// Read-only once made; fonts installed later count from the next start.
const QHash<QString, bool> &designFamilies()
{
    static const QHash<QString, bool> known = [] {
        QHash<QString, bool> found;
        for (const char *name : {"MS Sans Serif", "Tahoma", "Verdana", "Arial", "DejaVu Sans",
                                 "Bitstream Vera Sans", "Liberation Sans", "Noto Sans"}) {
            const QString family = QString::fromLatin1(name);
            found.insert(family.toCaseFolded(), lookUp(family));
        }
        return found;
    }();
    return known;
}

} // namespace

bool FontFallback::installed(const QString &family)
{
    const QHash<QString, bool> &known = designFamilies();
    const auto found = known.constFind(family.toCaseFolded());
    return found != known.cend() ? *found : lookUp(family);
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
