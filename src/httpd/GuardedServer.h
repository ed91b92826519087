#pragma once

#include <atomic>
#include <condition_variable>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <httplib.h>

#include "httpd/ConnectionLimits.h"

namespace httpd {

// cpp-httplib's server with the bounds it lacks (version 0.11 has no limit on the number of
// headers, a read time-out per byte rather than per request, and an unbounded queue of
// accepted connections): routes, handlers and replies are httplib's own, but every
// connection is admitted, read and timed here (see ConnectionLimits).
//
// How: httplib hands each accepted socket to its task queue as a call of
// process_and_close_socket(); the queue installed here makes that call at once on the
// accepting thread, where the override only takes the socket. Admission (total and
// per-address counts) happens there too, and a refused connection gets a short 503. An
// admitted one gets a thread of its own, which reads through a LimitedStream and lets
// httplib's process_request() parse and route each request.
class GuardedServer : public httplib::Server {
public:
    explicit GuardedServer(ConnectionLimits limits = {});
    ~GuardedServer() override;

    const ConnectionLimits& limits() const { return m_limits; }

    // Serves on a thread of its own after bind_to_port()/bind_to_any_port().
    void start();
    // Stops accepting, ends every open connection and waits for their threads. Safe at any
    // moment, also right after start() before the thread listens, and more than once.
    void shutdown();
    // Blocks until shutdown() (from another thread) has stopped the server.
    void waitUntilStopped();

    // Called from a handler: the connection closes once this reply is sent (for example a
    // refused upload whose body is not worth reading).
    static void closeConnectionAfterReply();
    std::size_t openConnections() const;

private:
    class AdmissionQueue;
    struct Connection {
        int socket {-1};
        std::string address;
        std::thread thread;
        bool finished {false};
    };

    bool process_and_close_socket(socket_t sock) override;
    void admit(int socket);
    void serve(Connection& connection);
    void reapFinished();
    void closeAll();

    ConnectionLimits m_limits;
    std::atomic<bool> m_stopRequested {false};
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::list<Connection> m_connections;
    std::map<std::string, std::size_t> m_perAddress;
    std::thread m_listener;
    bool m_listenerFinished {true};
};

} // namespace httpd
