#pragma once

#include <QString>

#include <stdexcept>

// A text that should have been a number. It leaves the job through its end
// report and is then shown with its own text.
class ConversionError : public std::runtime_error
{
public:
    explicit ConversionError(const QString &message)
        : std::runtime_error(message.toStdString())
    {}
};
