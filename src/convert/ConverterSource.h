#pragma once

#include <QString>

// Where the converter program comes from: the copy compiled into the
// executable, or in tests a stand-in program.
class ConverterSource
{
public:
    virtual ~ConverterSource() = default;
    // Writes the converter program to path, replacing a file there, with its
    // execute bit set. False when there is none to write or writing failed.
    virtual bool writeConverter(const QString &path) = 0;
};
