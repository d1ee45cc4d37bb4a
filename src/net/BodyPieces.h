#pragma once

#include <algorithm>
#include <cstddef>

// Hands data on in pieces of at most maxPiece bytes, in order, until the
// handler refuses one. True when every piece was taken.
template <typename Handler>
bool ForEachPiece(const char *data, std::size_t size, std::size_t maxPiece, Handler &&handler)
{
    for (std::size_t offset = 0; offset < size;) {
        const std::size_t piece = std::min(maxPiece, size - offset);
        if (!handler(data + offset, piece))
            return false;
        offset += piece;
    }
    return true;
}
