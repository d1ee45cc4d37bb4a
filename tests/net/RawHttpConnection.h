#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

// One plain TCP connection to a local port, for exchanges the program's client
// neither makes nor shows: any request head, and the answer byte for byte.
// Reads give up after a long quiet spell, so a fault cannot hang the tests.
class RawHttpConnection
{
public:
    struct Response
    {
        int status = 0; // 0: no complete head arrived
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;       // chunked bodies decoded
        bool complete = false; // the body ended where its framing says
        bool reset = false;    // the connection was reset

        // The first header of that name, compared without case.
        std::optional<QByteArray> header(QByteArrayView name) const;
    };

    // One request on a connection of its own, "Connection: close" added, and its answer.
    static Response exchange(quint16 port, const QByteArray &method, const QByteArray &target,
                             const QList<QByteArray> &headerLines = {});

    explicit RawHttpConnection(quint16 port);
    ~RawHttpConnection();
    RawHttpConnection(const RawHttpConnection &) = delete;
    RawHttpConnection &operator=(const RawHttpConnection &) = delete;

    bool send(const QByteArray &bytes);
    // Sends "METHOD TARGET HTTP/1.1", a Host line, the header lines and the blank line.
    bool sendRequest(const QByteArray &method, const QByteArray &target,
                     const QList<QByteArray> &headerLines = {});
    // One answer; its body is left unread for a HEAD. Reading stops once
    // bodyLimit body bytes are in, when given.
    Response readResponse(bool headOnly = false, qint64 bodyLimit = -1);
    // Whatever arrives until the peer closes the connection.
    QByteArray readToEnd();
    // The same without keeping it: the count of bytes, and the last tailSize of them.
    qint64 discardToEnd(QByteArray &tail, qsizetype tailSize);

private:
    // At least one more byte into m_buffer; false at the end or on an error.
    bool fill();
    // The first size bytes of the buffer, once they are there.
    std::optional<QByteArray> take(qint64 size);
    std::optional<QByteArray> takeLine();

    int m_socket = -1;
    QByteArray m_buffer;
    bool m_reset = false;
};
