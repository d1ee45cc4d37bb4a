#pragma once

#include <QString>

// Decodes "%XX" escapes (one character per escape, never combined into UTF-8)
// and "+" as a space. An escape cut off by the end gives U+0000 and ends the text.
QString UrlDecode(const QString &text);

// ASCII hexadecimal digits of either case to a number, an optional trailing "H"
// or "h" allowed; any other character makes the value 0.
qint64 HexToInt64(const QString &text);
