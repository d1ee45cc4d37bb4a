#pragma once

#include <QString>

// The converter is written under this name into its folder (the program's,
// when portable) for each conversion, and removed after every job and at start-up.
inline const QString ConverterFileName = QStringLiteral("ffmpeg.exe");

// Removes a converter copy in folder (ending with "/"); a failure is harmless.
void RemoveConverterCopy(const QString &folder);
