#include "httpd/GuardedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "httpd/LimitedStream.h"

namespace httpd {

namespace {

// Set while the admission queue calls httplib's task: the override leaves the socket here.
thread_local int t_capturedSocket = -1;
// Set by a handler on the connection's own thread.
thread_local bool t_closeAfterReply = false;

std::string peerAddress(int socket) {
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (::getpeername(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return {};
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in&>(address).sin_addr, text, sizeof text);
    else if (address.ss_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6&>(address).sin6_addr, text, sizeof text);
    return text;
}

void refuse(int socket) {
    static const char reply[] = "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
    ::send(socket, reply, sizeof reply - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}

} // namespace

class GuardedServer::AdmissionQueue : public httplib::TaskQueue {
public:
    explicit AdmissionQueue(GuardedServer& server)
        : m_server(server) { }

    void enqueue(std::function<void()> task) override {
        t_capturedSocket = -1;
        task(); // process_and_close_socket(): takes the socket, serves nothing
        const int socket = t_capturedSocket;
        t_capturedSocket = -1;
        if (socket >= 0)
            m_server.admit(socket);
    }
    void shutdown() override { m_server.closeAll(); }

private:
    GuardedServer& m_server;
};

GuardedServer::GuardedServer(ConnectionLimits limits)
    : m_limits(limits) {
    new_task_queue = [this] { return new AdmissionQueue(*this); };
}

GuardedServer::~GuardedServer() {
    shutdown();
}

bool GuardedServer::process_and_close_socket(socket_t sock) {
    t_capturedSocket = sock;
    return true;
}

void GuardedServer::closeConnectionAfterReply() {
    t_closeAfterReply = true;
}

std::size_t GuardedServer::openConnections() const {
    std::lock_guard lock(m_mutex);
    std::size_t open = 0;
    for (const auto& connection : m_connections)
        open += connection.finished ? 0 : 1;
    return open;
}

void GuardedServer::admit(int socket) {
    reapFinished();
    std::string address = peerAddress(socket);
    std::lock_guard lock(m_mutex);
    std::size_t open = 0;
    for (const auto& connection : m_connections)
        open += connection.finished ? 0 : 1;
    if (m_stopRequested || open >= m_limits.maxConnections
        || m_perAddress[address] >= m_limits.maxConnectionsPerAddress) {
        refuse(socket);
        return;
    }
    ++m_perAddress[address];
    m_connections.push_back(Connection {socket, address, {}, false});
    Connection& connection = m_connections.back();
    connection.thread = std::thread([this, &connection] { serve(connection); });
}

void GuardedServer::serve(Connection& connection) {
    LimitedStream stream(connection.socket, m_limits);
    for (std::size_t served = 0; served < m_limits.maxRequestsPerConnection && !m_stopRequested; ++served) {
        if (!stream.hasBufferedBytes()) {
            stream.beginRequest();
            // Waiting for a request is held to the idle time, not the header time.
            pollfd entry {connection.socket, POLLIN, 0};
            if (::poll(&entry, 1, static_cast<int>(m_limits.idleTimeout.count())) <= 0)
                break;
        }
        stream.beginRequest();
        t_closeAfterReply = false;
        bool closed = false;
        const bool last = served + 1 == m_limits.maxRequestsPerConnection;
        const bool handled = process_request(stream, last, closed, nullptr);
        if (!handled || closed || t_closeAfterReply || stream.failed())
            break;
    }
    ::shutdown(connection.socket, SHUT_RDWR);
    std::lock_guard lock(m_mutex);
    ::close(connection.socket);
    connection.socket = -1;
    if (--m_perAddress[connection.address] == 0)
        m_perAddress.erase(connection.address);
    connection.finished = true;
    m_changed.notify_all();
}

void GuardedServer::reapFinished() {
    std::list<Connection> finished;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_connections.begin(); it != m_connections.end();) {
            auto next = std::next(it);
            if (it->finished)
                finished.splice(finished.end(), m_connections, it);
            it = next;
        }
    }
    for (auto& connection : finished)
        connection.thread.join();
}

void GuardedServer::closeAll() {
    {
        std::lock_guard lock(m_mutex);
        // Wakes every read and write; each thread then finishes on its own.
        for (auto& connection : m_connections) {
            if (connection.socket >= 0)
                ::shutdown(connection.socket, SHUT_RDWR);
        }
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] {
        for (const auto& connection : m_connections)
            if (!connection.finished)
                return false;
        return true;
    });
    lock.unlock();
    reapFinished();
}

void GuardedServer::start() {
    std::lock_guard lock(m_mutex);
    if (m_listener.joinable() || m_stopRequested)
        return;
    m_listenerFinished = false;
    // httplib listens with a backlog of 5: a burst of clients beyond it would wait for the
    // kernel's retry a second later. Admission decides instead.
    if (svr_sock_ != INVALID_SOCKET)
        ::listen(svr_sock_, 128);
    m_listener = std::thread([this] {
        if (!m_stopRequested)
            listen_after_bind();
        std::lock_guard done(m_mutex);
        m_listenerFinished = true;
        m_changed.notify_all();
    });
}

void GuardedServer::shutdown() {
    m_stopRequested = true;
    std::unique_lock lock(m_mutex);
    // httplib's stop() reaches only a server that already listens: until the thread either
    // listens or has given up, keep looking.
    bool stopped = false;
    while (!m_listenerFinished) {
        if (!stopped && is_running()) {
            lock.unlock();
            stop();
            lock.lock();
            stopped = true;
        }
        m_changed.wait_for(lock, std::chrono::milliseconds(10));
    }
    lock.unlock();
    if (m_listener.joinable())
        m_listener.join();
    closeAll();
}

void GuardedServer::waitUntilStopped() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_listenerFinished; });
}

} // namespace httpd
