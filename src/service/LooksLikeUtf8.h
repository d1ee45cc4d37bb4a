#pragma once

#include <QByteArrayView>

// True when the bytes hold at least one non-ASCII byte and are well-formed
// UTF-8 throughout (encoded surrogates are let through).
bool LooksLikeUtf8(QByteArrayView bytes);
