#include "SampleService.h"

#include "ReplyWriter.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qsizetype MaxHead = 65536;

// Reads up to the blank line that ends a request head; the bytes after it
// stay in buffer for the next request.
std::optional<QByteArray> readHead(int socket, QByteArray &buffer,
                                   const std::atomic<bool> &stopping)
{
    char scratch[4096];
    while (!stopping) {
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end >= 0) {
            QByteArray head = buffer.left(end + 4);
            buffer.remove(0, end + 4);
            return head;
        }
        if (buffer.size() > MaxHead)
            return std::nullopt;
        pollfd watched{socket, POLLIN, 0};
        const int ready = ::poll(&watched, 1, 100);
        if (ready < 0 && errno != EINTR)
            return std::nullopt;
        if (ready <= 0)
            continue;
        const ssize_t got = ::recv(socket, scratch, sizeof scratch, 0);
        if (got <= 0)
            return std::nullopt;
        buffer.append(scratch, got);
    }
    return std::nullopt;
}

} // namespace

SampleService::SampleService()
    : SampleService(Options())
{}

SampleService::SampleService(Options options)
    : m_options(std::move(options))
    , m_routes(m_options.mediaDir, m_options.streamHost, m_options.videos)
{}

SampleService::~SampleService()
{
    stop();
}

QString SampleService::defaultMediaDir()
{
    return QStringLiteral(VIDLARK_SAMPLE_MEDIA_DIR);
}

QString SampleService::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

quint16 SampleService::start()
{
    if (!m_options.logFile.isEmpty())
        m_log.openFile(m_options.logFile);
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        throw std::runtime_error("cannot create a socket");
    const int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_options.port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 64) != 0) {
        ::close(m_listener);
        m_listener = -1;
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(m_options.port));
    }
    socklen_t size = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size);
    m_port = ntohs(address.sin_port);
    m_stopping = false;
    m_acceptThread = std::thread([this] { acceptLoop(); });
    return m_port;
}

void SampleService::stop()
{
    if (m_listener < 0)
        return;
    m_stopping = true;
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    {
        // Wakes connections blocked in a send to a client that reads no more.
        std::lock_guard lock(m_mutex);
        for (const int socket : m_sockets)
            ::shutdown(socket, SHUT_RDWR);
    }
    joinFinished(true);
    ::close(m_listener);
    m_listener = -1;
}

void SampleService::acceptLoop()
{
    while (!m_stopping) {
        pollfd watched{m_listener, POLLIN, 0};
        if (::poll(&watched, 1, 100) <= 0)
            continue;
        const int socket = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        const int yes = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        joinFinished(false);
        std::lock_guard lock(m_mutex);
        m_sockets.insert(socket);
        auto done = std::make_shared<std::atomic<bool>>(false);
        m_workers.push_back({std::thread([this, socket, done] {
                                 serve(socket);
                                 *done = true;
                             }),
                             done});
    }
}

void SampleService::joinFinished(bool all)
{
    std::vector<Worker> finished;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_workers.begin(); it != m_workers.end();) {
            if (all || *it->done) {
                finished.push_back(std::move(*it));
                it = m_workers.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (Worker &worker : finished)
        worker.thread.join();
}

void SampleService::serve(int socket)
{
    QByteArray buffer;
    qint64 carried = 0; // body bytes this connection has sent
    while (!m_stopping) {
        const std::optional<QByteArray> head = readHead(socket, buffer, m_stopping);
        if (!head)
            break;
        const std::optional<ServiceRequest> request = ServiceRequest::parse(*head);
        if (!request)
            break;
        m_log.record(*request);
        const ServiceReply reply = m_routes.handle(*request);
        if (!sendReply(socket, reply, request->method == "HEAD", request->wantsClose(), m_stopping,
                       &carried))
            break;
    }
    std::lock_guard lock(m_mutex);
    m_sockets.erase(socket);
    ::close(socket);
}
