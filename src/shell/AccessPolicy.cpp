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

AccessPolicy AccessPolicy::forListenAddress(const std::string& address, int port, const std::string& publicURL) {
    std::set<std::string> hosts;
    if (isLoopback(address)) {
        hosts = {"localhost", "127.0.0.1", "::1", lowercase(address)};
    } else {
        hosts = machineHosts();
        hosts.insert(lowercase(address));
    }
    const bool needsToken = !isLoopback(address) || !publicURL.empty();
    AccessPolicy policy(std::move(hosts), port, needsToken ? randomToken() : std::string());
    if (!publicURL.empty())
        policy.addPublicOrigin(publicURL);
    return policy;
}

std::optional<std::string> AccessPolicy::originOf(const std::string& url) {
    std::string text = lowercase(url);
    std::string scheme;
    for (const char* candidate : {"http://", "https://"}) {
        if (text.starts_with(candidate))
            scheme = candidate;
    }
    if (scheme.empty())
        return std::nullopt;
    std::string authority = text.substr(scheme.size());
    authority = authority.substr(0, authority.find_first_of("/?#"));
    std::string name;
    std::optional<int> port;
    if (authority.empty() || authority.find('@') != std::string::npos || !splitHostPort(authority, name, port)
        || (port && (*port < 1 || *port > 65535)))
        return std::nullopt;
    return scheme + authority;
}

bool AccessPolicy::addPublicOrigin(const std::string& url) {
    auto origin = originOf(url);
    if (!origin)
        return false;
    const std::string scheme = origin->substr(0, origin->find(':'));
    std::string name;
    std::optional<int> port;
    splitHostPort(origin->substr(scheme.size() + 3), name, port);
    m_publicOrigins.insert({scheme, name, port.value_or(scheme == "https" ? 443 : 80)});
    return true;
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
    // A proxy passes on the public host, with the public port or none.
    for (const auto& origin : m_publicOrigins) {
        if (origin.host == name && (!port || *port == origin.port))
            return true;
    }
    if (port.value_or(80) != m_port)
        return false;
    return m_hosts.contains(name);
}

bool AccessPolicy::allowsOrigin(const std::string& origin) const {
    const std::string text = lowercase(origin);
    for (const char* scheme : {"http://", "https://"}) {
        if (!text.starts_with(scheme))
            continue;
        std::string name;
        std::optional<int> port;
        const std::string kind = std::string(scheme).substr(0, std::string(scheme).find(':'));
        if (splitHostPort(text.substr(std::string(scheme).size()), name, port)
            && m_publicOrigins.contains({kind, name, port.value_or(kind == "https" ? 443 : 80)}))
            return true;
        std::optional<int> ownPort;
        return splitHostPort(text.substr(std::string(scheme).size()), name, ownPort)
            && ownPort.value_or(80) == m_port && m_hosts.contains(name);
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
