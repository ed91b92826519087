#include "httpd/LimitedStream.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>

namespace httpd {

namespace {

bool waitFor(int socket, short events, std::chrono::milliseconds timeout) {
    pollfd entry {socket, events, 0};
    const int milliseconds = static_cast<int>(std::max<long long>(0, timeout.count()));
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, milliseconds);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

void addressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

} // namespace

LimitedStream::LimitedStream(int socket, const ConnectionLimits& limits)
    : m_socket(socket)
    , m_limits(limits) {
    beginRequest();
}

void LimitedStream::beginRequest() {
    m_phase = Phase::Header;
    m_header.clear();
    m_headerLines = 0;
    m_deadline = Clock::now() + m_limits.headerTimeout;
}

bool LimitedStream::fill() {
    if (m_failed)
        return false;
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
    if (remaining.count() <= 0 || !waitFor(m_socket, POLLIN, remaining)) {
        m_failed = true;
        return false;
    }
    ssize_t count = 0;
    do {
        count = ::recv(m_socket, m_buffer, sizeof m_buffer, 0);
    } while (count < 0 && errno == EINTR);
    if (count <= 0) {
        m_failed = true;
        return false;
    }
    m_begin = 0;
    m_end = static_cast<size_t>(count);
    return true;
}

bool LimitedStream::account(const char* bytes, size_t count) {
    for (size_t i = 0; i < count && m_phase == Phase::Header; ++i) {
        m_header += bytes[i];
        if (m_header.size() > m_limits.maxHeaderBytes)
            return false;
        if (bytes[i] != '\n')
            continue;
        // The request line plus the headers.
        if (++m_headerLines > m_limits.maxHeaderCount + 1)
            return false;
        const size_t size = m_header.size();
        const bool blank = size == 1 || (size >= 2 && m_header[size - 2] == '\n')
            || (size >= 3 && m_header[size - 2] == '\r' && m_header[size - 3] == '\n')
            || (size == 2 && m_header[0] == '\r');
        if (blank && m_headerLines > 1)
            startBody();
    }
    return true;
}

void LimitedStream::startBody() {
    m_phase = Phase::Body;
    double announced = 0;
    for (size_t line = 0; line < m_header.size();) {
        size_t end = m_header.find('\n', line);
        if (end == std::string::npos)
            end = m_header.size();
        if (end - line > 15 && strncasecmp(m_header.c_str() + line, "content-length:", 15) == 0)
            announced = std::strtod(m_header.c_str() + line + 15, nullptr);
        line = end + 1;
    }
    if (!(announced >= 0))
        announced = 0;
    m_deadline = Clock::now() + m_limits.bodyTimeout
        + std::chrono::milliseconds(static_cast<long long>(1000 * announced / m_limits.minBodyBytesPerSecond));
    m_header.clear();
}

bool LimitedStream::is_readable() const {
    if (m_begin < m_end)
        return true;
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
    return !m_failed && remaining.count() > 0 && waitFor(m_socket, POLLIN, remaining);
}

bool LimitedStream::is_writable() const {
    return !m_failed && waitFor(m_socket, POLLOUT, m_limits.writeTimeout);
}

ssize_t LimitedStream::read(char* ptr, size_t size) {
    if (m_begin == m_end && !fill())
        return -1;
    const size_t count = std::min(size, m_end - m_begin);
    if (m_phase == Phase::Header && !account(m_buffer + m_begin, count)) {
        m_failed = true;
        return -1;
    }
    std::memcpy(ptr, m_buffer + m_begin, count);
    m_begin += count;
    return static_cast<ssize_t>(count);
}

ssize_t LimitedStream::write(const char* ptr, size_t size) {
    size_t sent = 0;
    while (sent < size) {
        if (!waitFor(m_socket, POLLOUT, m_limits.writeTimeout)) {
            m_failed = true;
            return sent ? static_cast<ssize_t>(sent) : -1;
        }
        const ssize_t count = ::send(m_socket, ptr + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (count <= 0) {
            m_failed = true;
            return sent ? static_cast<ssize_t>(sent) : -1;
        }
        sent += static_cast<size_t>(count);
    }
    return static_cast<ssize_t>(sent);
}

void LimitedStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (::getpeername(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        addressOf(address, ip, port);
}

void LimitedStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        addressOf(address, ip, port);
}

} // namespace httpd
