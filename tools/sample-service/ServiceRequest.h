#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

// One request as the service received it.
struct ServiceRequest
{
    QByteArray method;
    QByteArray target; // as sent: origin form "/path?query" or proxy form "http://host/path"
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>> headers; // in order, as received
    QByteArray host;                              // host (and port) the request is meant for
    QByteArray path;                              // without the query
    QByteArray query;                             // without the "?"

    // The first header of that name, compared without case; empty when none.
    QByteArray header(QByteArrayView name) const;
    // The value of a query key, percent-decoded; none when absent.
    std::optional<QByteArray> queryValue(QByteArrayView key) const;
    // The host without its port, lower case.
    QByteArray hostName() const;
    bool wantsClose() const;

    // Parses a request head (request line and headers, up to the blank line).
    static std::optional<ServiceRequest> parse(const QByteArray &head);
};
