#pragma once

#include <stdexcept>
#include <string>

// A failed request: a network error (status() == 0) or an error status.
class HttpError : public std::runtime_error
{
public:
    HttpError(int status, const std::string &message)
        : std::runtime_error(message)
        , m_status(status)
    {}
    int status() const { return m_status; }

private:
    int m_status;
};
