#include "service/LooksLikeUtf8.h"

namespace {

struct Range
{
    quint8 low, high;
};

constexpr Range Tail{0x80, 0xBF};

// The ranges the bytes after a lead byte must lie in; empty for a bad lead byte.
int followers(quint8 lead, Range (&ranges)[3])
{
    if (lead >= 0xC2 && lead <= 0xDF) {
        ranges[0] = Tail;
        return 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        ranges[0] = lead == 0xE0 ? Range{0xA0, 0xBF} : Tail;
        ranges[1] = Tail;
        return 2;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        ranges[0] = lead == 0xF0 ? Range{0x90, 0xBF} : lead == 0xF4 ? Range{0x80, 0x8F} : Tail;
        ranges[1] = Tail;
        ranges[2] = Tail;
        return 3;
    }
    return -1;
}

} // namespace

bool LooksLikeUtf8(QByteArrayView bytes)
{
    qsizetype i = 0;
    const qsizetype size = bytes.size();
    while (i < size && static_cast<quint8>(bytes[i]) < 0x80)
        ++i;
    if (i == size)
        return false; // plain ASCII needs no decoding

    while (i < size) {
        const quint8 lead = static_cast<quint8>(bytes[i++]);
        if (lead < 0x80)
            continue;
        Range ranges[3];
        const int count = followers(lead, ranges);
        if (count < 0)
            return false;
        for (int k = 0; k < count; ++k, ++i) {
            if (i >= size)
                return false;
            const quint8 b = static_cast<quint8>(bytes[i]);
            if (b < ranges[k].low || b > ranges[k].high)
                return false;
        }
    }
    return true;
}
