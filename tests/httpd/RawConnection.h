#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace vantrel::test {

// A client that sends exactly the bytes a test gives it, as a hostile one would, and reads
// whatever comes back until the server closes or the time runs out.
class RawConnection {
public:
    explicit RawConnection(int port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawConnection() { ::close(m_fd); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return m_connected; }
    // False once the server closed its side or refused more.
    bool send(const std::string& bytes) {
        return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // Everything until the server closes, or what came within `milliseconds`.
    std::string readUntilClosed(int milliseconds = 10000) {
        std::string received;
        char buffer[4096];
        pollfd entry {m_fd, POLLIN, 0};
        while (::poll(&entry, 1, milliseconds) > 0) {
            const ssize_t count = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (count <= 0)
                break;
            received.append(buffer, static_cast<size_t>(count));
        }
        return received;
    }

private:
    int m_fd {-1};
    bool m_connected {false};
};

} // namespace vantrel::test
