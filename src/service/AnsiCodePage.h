#pragma once

#include <QByteArray>
#include <QString>

// The program's ANSI code page, Windows-1252 as the platform defines it: every
// byte maps to a character, the five bytes the code page leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) to the control characters of the same value.
// Strict converters reject those five, so the table is our own.
QString AnsiToUnicode(QByteArrayView bytes);

// The way back. The C1 controls U+0080 to U+009F fall back to the byte of the
// same value, so text read byte for byte survives the round trip; anything
// else outside the code page becomes "?", one per character.
QByteArray UnicodeToAnsi(QStringView text);
