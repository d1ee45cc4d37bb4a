#pragma once

#include <QString>

#include <stdexcept>

// A text that should have been a number and is not. It leaves the job
// through its end report and is then shown with its own text.
class NumberReadingError : public std::runtime_error
{
public:
    explicit NumberReadingError(const QString &message)
        : std::runtime_error(message.toStdString())
    {}
};
