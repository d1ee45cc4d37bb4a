#include "service/ExtractorRelease.h"

#include <QList>

namespace {

constexpr qsizetype HashLength = 64;
constexpr qsizetype VersionLength = 64;

bool isHex(QByteArrayView text)
{
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

} // namespace

std::optional<QByteArray> ReleaseChecksum(QByteArrayView sums, QByteArrayView name)
{
    if (name.isEmpty())
        return std::nullopt;
    std::optional<QByteArray> found;
    for (QByteArrayView line : QByteArray(sums.data(), sums.size()).split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        // HASH, one blank, then a blank (text) or a star (binary), then the name.
        if (line.size() < HashLength + 2 || line[HashLength] != ' ' ||
            (line[HashLength + 1] != ' ' && line[HashLength + 1] != '*'))
            continue;
        const QByteArrayView hash = line.first(HashLength);
        if (line.sliced(HashLength + 2) != name || !isHex(hash))
            continue;
        const QByteArray lower = QByteArray(hash.data(), hash.size()).toLower();
        if (found && *found != lower)
            return std::nullopt;
        found = lower;
    }
    return found;
}

QString ExtractorVersionLine(QByteArrayView output)
{
    const qsizetype end = output.indexOf('\n');
    QString version;
    for (const QChar c : QString::fromUtf8(end < 0 ? output : output.first(end))) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f &&
            !(c.unicode() >= 0x80 && c.unicode() < 0xa0))
            version.append(c);
    }
    version = version.trimmed();
    if (version.size() > VersionLength) {
        version.truncate(VersionLength);
        if (version.back().isHighSurrogate())
            version.chop(1);
    }
    return version;
}

QDate ExtractorVersionDate(QStringView version)
{
    const QList<QStringView> parts = version.split(u'.');
    if (parts.size() < 3)
        return {};
    int numbers[3] = {};
    for (int i = 0; i < 3; ++i) {
        const QStringView part = parts.at(i);
        // Digits only: toInt takes signs and blanks too.
        if (part.isEmpty() || part.size() > 4)
            return {};
        for (const QChar c : part) {
            if (c < u'0' || c > u'9')
                return {};
        }
        numbers[i] = part.toInt();
    }
    if (parts.at(0).size() != 4)
        return {};
    return QDate(numbers[0], numbers[1], numbers[2]); // invalid when it is no day
}

bool ExtractorIsStale(QStringView version, QDate today)
{
    const QDate date = ExtractorVersionDate(version);
    return date.isValid() && today.isValid() && date.daysTo(today) > ExtractorStaleDays;
}
