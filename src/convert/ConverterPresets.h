#pragma once

#include <QString>
#include <QStringList>

// The converter's options for a target extension (".avi" or ".mp4"; ".m4a"
// and ".mp3" take the audio alone, the first copied when copyAudio), each
// option and value its own argument. None of them allows overwriting a file.
QStringList presetArguments(const QString &targetExtension, bool copyAudio = false);

// The whole argument list: read input, convert with the preset, write output.
QStringList converterArguments(const QString &input, const QString &targetExtension,
                               const QString &output, bool copyAudio = false);
