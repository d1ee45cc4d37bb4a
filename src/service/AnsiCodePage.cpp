#include "service/AnsiCodePage.h"

#include <QList>

#include <array>

namespace {

// Bytes 0x80 to 0x9F; every other byte is the character of the same value.
constexpr std::array<char16_t, 32> HighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t charOfByte(quint8 b)
{
    return b >= 0x80 && b <= 0x9F ? HighControls[b - 0x80] : char16_t(b);
}

char byteOfChar(char32_t c)
{
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    if (c <= 0xFF)
        return static_cast<char>(c);
    return '?';
}

} // namespace

QString AnsiToUnicode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(charOfByte(static_cast<quint8>(bytes[i])));
    return text;
}

QByteArray UnicodeToAnsi(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        bytes.append(byteOfChar(c));
    return bytes;
}
