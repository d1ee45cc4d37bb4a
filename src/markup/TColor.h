#pragma once

#include <QColor>

// Colour numbers as the design gives them: bytes from low to high are red, green, blue.
constexpr QRgb tcolor(quint32 value)
{
    return qRgb(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}
