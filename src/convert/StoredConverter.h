#pragma once

#include "convert/ConverterSource.h"

// The FFmpeg program compiled into the executable as a resource when it was
// built; empty when the build machine had none.
class StoredConverter final : public ConverterSource
{
public:
    bool writeConverter(const QString &path) override;

    // Whether this build carries a converter at all.
    static bool available();
};
