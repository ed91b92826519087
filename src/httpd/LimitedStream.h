#pragma once

#include <chrono>
#include <string>

#include <httplib.h>

#include "httpd/ConnectionLimits.h"

namespace httpd {

// httplib's view of one connection, reading under the limits: each request's line and
// headers within the header time, byte and line limits, its body within the body time. Once
// a limit is passed every read fails, which makes httplib answer 400 (or give up on a
// request line) and the connection close. Writes wait at most the write time-out.
class LimitedStream : public httplib::Stream {
public:
    LimitedStream(int socket, const ConnectionLimits& limits);

    // Starts the clock and the counts for the next request.
    void beginRequest();
    // True when bytes of the next request are already read ahead.
    bool hasBufferedBytes() const { return m_begin < m_end; }
    // True once a limit was passed or the peer went away.
    bool failed() const { return m_failed; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return m_socket; }

private:
    enum class Phase { Header, Body };
    using Clock = std::chrono::steady_clock;

    bool fill();
    // Counts bytes handed out while the headers are read; false once a limit is passed.
    bool account(const char* bytes, size_t count);
    void startBody();

    int m_socket;
    const ConnectionLimits& m_limits;
    char m_buffer[4096];
    size_t m_begin {0};
    size_t m_end {0};
    Phase m_phase {Phase::Header};
    std::string m_header;
    size_t m_headerLines {0};
    Clock::time_point m_deadline;
    bool m_failed {false};
};

} // namespace httpd
