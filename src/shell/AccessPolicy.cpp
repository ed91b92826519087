#include "shell/AccessPolicy.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <charconv>
#include <fstream>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <random>
#include <unistd.h>

namespace shell {

namespace {

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Splits "name:port", "[v6]:port" or "name" into name and port (none when absent).
bool splitHostPort(const std::string& text, std::string& name, std::optional<int>& port) {
    std::string rest;
    if (text.starts_with("[")) {
        auto close = text.find(']');
        if (close == std::string::npos)
            return false;
        name = text.substr(1, close - 1);
        rest = text.substr(close + 1);
    } else {
        auto colon = text.find(':');
        name = text.substr(0, colon);
        rest = colon == std::string::npos ? std::string() : text.substr(colon);
    }
    if (name.empty())
        return false;
    if (rest.empty()) {
        port.reset();
        return true;
    }
    if (rest[0] != ':' || rest.size() < 2)
        return false;
    int value = 0;
    auto [end, ec] = std::from_chars(rest.data() + 1, rest.data() + rest.size(), value);
    if (ec != std::errc() || end != rest.data() + rest.size())
        return false;
    port = value;
    return true;
}

bool constantTimeEquals(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

std::optional<std::string> cookieValue(const std::string& header, const std::string& name) {
    size_t position = 0;
    while (position < header.size()) {
        size_t end = header.find(';', position);
        if (end == std::string::npos)
            end = header.size();
        std::string pair = header.substr(position, end - position);
        size_t first = pair.find_first_not_of(' ');
        if (first != std::string::npos) {
            pair = pair.substr(first);
            if (pair.starts_with(name + "="))
                return pair.substr(name.size() + 1);
        }
        position = end + 1;
    }
    return std::nullopt;
}

std::set<std::string> machineHosts() {
    std::set<std::string> hosts {"localhost", "127.0.0.1", "::1"};
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0 && name[0]) {
        hosts.insert(lowercase(name));
        hosts.insert(lowercase(name) + ".local");
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
            if (!entry->ifa_addr)
                continue;
            char text[INET6_ADDRSTRLEN] = {};
            if (entry->ifa_addr->sa_family == AF_INET) {
                auto* address = reinterpret_cast<sockaddr_in*>(entry->ifa_addr);
                inet_ntop(AF_INET, &address->sin_addr, text, sizeof text);
            } else if (entry->ifa_addr->sa_family == AF_INET6) {
                auto* address = reinterpret_cast<sockaddr_in6*>(entry->ifa_addr);
                inet_ntop(AF_INET6, &address->sin6_addr, text, sizeof text);
            }
            if (text[0])
                hosts.insert(lowercase(text));
        }
        freeifaddrs(list);
    }
    return hosts;
}

} // namespace

AccessPolicy::AccessPolicy(std::set<std::string> hosts, int port, std::string token)
    : m_port(port)
    , m_token(std::move(token)) {
    for (auto& host : hosts)
        m_hosts.insert(lowercase(host));
}

bool AccessPolicy::isLoopback(const std::string& address) {
    if (address == "localhost" || address == "::1" || address == "[::1]")
        return true;
    in_addr v4 {};
    return inet_pton(AF_INET, address.c_str(), &v4) == 1 && (ntohl(v4.s_addr) >> 24) == 127;
}

AccessPolicy AccessPolicy::forListenAddress(const std::string& address, int port) {
    if (isLoopback(address))
        return AccessPolicy({"localhost", "127.0.0.1", "::1", lowercase(address)}, port, {});
    std::set<std::string> hosts = machineHosts();
    hosts.insert(lowercase(address));
    return AccessPolicy(std::move(hosts), port, randomToken());
}

std::string AccessPolicy::randomToken() {
    unsigned char bytes[32];
    std::ifstream random("/dev/urandom", std::ios::binary);
    if (!random.read(reinterpret_cast<char*>(bytes), sizeof bytes)) {
        std::random_device device;
        for (auto& byte : bytes)
            byte = static_cast<unsigned char>(device());
    }
    static const char* digits = "0123456789abcdef";
    std::string token;
    for (unsigned char byte : bytes) {
        token += digits[byte >> 4];
        token += digits[byte & 15];
    }
    return token;
}

bool AccessPolicy::allowsHost(const std::string& hostHeader) const {
    std::string name;
    std::optional<int> port;
    if (!splitHostPort(lowercase(hostHeader), name, port))
        return false;
    if (port.value_or(80) != m_port)
        return false;
    return m_hosts.contains(name);
}

bool AccessPolicy::allowsOrigin(const std::string& origin) const {
    for (const char* scheme : {"http://", "https://"}) {
        if (origin.starts_with(scheme))
            return allowsHost(origin.substr(std::string(scheme).size()));
    }
    return false;
}

std::string AccessPolicy::setCookieHeader() const {
    return std::string(kCookieName) + "=" + m_token + "; Path=/; HttpOnly; SameSite=Strict; Max-Age=31536000";
}

AccessPolicy::Decision AccessPolicy::check(const Request& request) const {
    if (!request.host || !allowsHost(*request.host))
        return Decision::ForbiddenHost;
    if (request.origin && !allowsOrigin(*request.origin))
        return Decision::ForbiddenOrigin;
    if (m_token.empty())
        return Decision::Allow;
    if (request.cookie) {
        if (auto value = cookieValue(*request.cookie, kCookieName);
            value && constantTimeEquals(*value, m_token))
            return Decision::Allow;
    }
    if (request.tokenParameter && constantTimeEquals(*request.tokenParameter, m_token))
        return Decision::AllowAndSetCookie;
    return Decision::Unauthorized;
}

} // namespace shell
