#pragma once

#include "RequestLog.h"
#include "ServiceRequest.h"
#include "ServiceRoutes.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

// The sample video service on 127.0.0.1: its own threads accept and answer
// connections, so a client in the same process may block while it works.
class SampleService
{
public:
    struct Options
    {
        quint16 port = 0; // 0 picks a free one
        QString logFile;  // empty: no log file
        QString mediaDir = defaultMediaDir();
        // Empty: stream URLs name the host the watch page was asked from, so a
        // client without a proxy reaches them on 127.0.0.1 too.
        QByteArray streamHost = ServiceRoutes::DefaultStreamHost;
        // The videos it knows; a test may add its own.
        QList<CannedVideo> videos = cannedVideos();
    };

    SampleService();
    explicit SampleService(Options options);
    ~SampleService();
    SampleService(const SampleService &) = delete;
    SampleService &operator=(const SampleService &) = delete;

    // Starts listening; returns the port. Throws std::runtime_error on failure.
    quint16 start();
    // Ends every connection and joins every thread.
    void stop();

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:PORT"
    QString baseUrl() const;
    std::vector<ServiceRequest> requests() const { return m_log.requests(); }
    void clearRequests() { m_log.clear(); }
    const ServiceRoutes &routes() const { return m_routes; }

    // The folder the build generates the sample media into.
    static QString defaultMediaDir();

private:
    struct Worker
    {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void acceptLoop();
    void serve(int socket);
    void joinFinished(bool all);

    Options m_options;
    ServiceRoutes m_routes;
    RequestLog m_log;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptThread;
    std::mutex m_mutex; // guards m_workers and m_sockets
    std::vector<Worker> m_workers;
    std::set<int> m_sockets;
};
