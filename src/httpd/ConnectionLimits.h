#pragma once

#include <chrono>
#include <cstddef>

namespace httpd {

// What one client may cost a server that anyone on the network can reach. Every field is a
// bound on memory, time or threads; tests shorten the times.
struct ConnectionLimits {
    using Duration = std::chrono::milliseconds;

    // Connections served at once (each has a thread), and of those from one address.
    std::size_t maxConnections {64};
    std::size_t maxConnectionsPerAddress {16};
    // A connection waits this long for a request to begin (the first and each next one).
    Duration idleTimeout {std::chrono::seconds(5)};
    // The request line and all headers must arrive within this time, in this many bytes
    // and lines: a client sending a byte every few seconds, or headers without end, is cut.
    Duration headerTimeout {std::chrono::seconds(10)};
    std::size_t maxHeaderBytes {16 * 1024};
    std::size_t maxHeaderCount {64};
    // The body must arrive within this time plus one second per `minBodyBytesPerSecond`
    // bytes of its announced length.
    Duration bodyTimeout {std::chrono::seconds(10)};
    double minBodyBytesPerSecond {32 * 1024};
    // A reply the client does not take within this time ends the connection.
    Duration writeTimeout {std::chrono::seconds(10)};
    std::size_t maxRequestsPerConnection {100};
};

} // namespace httpd
