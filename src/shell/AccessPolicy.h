#pragma once

#include <optional>
#include <set>
#include <string>
#include <tuple>

namespace shell {

// Who may talk to the shell. On a loopback address anyone on this machine may (the page is
// only reachable from here); on any other address every request must carry the access
// token, in the address (`?token=`) the first time and in a cookie afterwards. Whatever the
// address, a request whose Host or Origin header names another site is refused, so a page
// elsewhere cannot reach the shell through DNS rebinding or a cross-site form.
class AccessPolicy {
public:
    static constexpr const char* kCookieName = "vantrel_token";

    // `hosts`: the host names and addresses (without port) under which the shell may be
    // addressed. `token`: empty when none is needed.
    AccessPolicy(std::set<std::string> hosts, int port, std::string token);

    // The policy for listening on `address`: loopback needs no token; other addresses get a
    // fresh random token and accept the machine's names and addresses as hosts. With a
    // public address (`publicURL`, the origin of an HTTPS proxy in front of the shell) that
    // origin is accepted too, and a token is needed whatever the listening address: the
    // proxy brings requests from anywhere, also to a shell on loopback.
    static AccessPolicy forListenAddress(const std::string& address, int port, const std::string& publicURL = {});
    // Accepts requests addressed to this origin ("https://car.example.org", a port
    // optional); false for text that is no http(s) origin.
    bool addPublicOrigin(const std::string& url);
    // "scheme://host[:port]" of a URL, lower case, without a path; none when it is no
    // http(s) address.
    static std::optional<std::string> originOf(const std::string& url);
    static bool isLoopback(const std::string& address);
    // 32 random bytes as 64 hexadecimal digits.
    static std::string randomToken();

    struct Request {
        std::optional<std::string> host;
        std::optional<std::string> origin;
        std::optional<std::string> cookie; // the whole Cookie header
        std::optional<std::string> tokenParameter;
    };
    enum class Decision {
        Allow,
        // Allowed on the token in the address: answer with the cookie (setCookieHeader).
        AllowAndSetCookie,
        ForbiddenHost,
        ForbiddenOrigin,
        Unauthorized,
    };
    Decision check(const Request& request) const;

    bool allowsHost(const std::string& hostHeader) const;
    bool allowsOrigin(const std::string& origin) const;
    bool needsToken() const { return !m_token.empty(); }
    const std::string& token() const { return m_token; }
    int port() const { return m_port; }
    // The Set-Cookie value that carries the token.
    std::string setCookieHeader() const;

private:
    struct Origin {
        std::string scheme;
        std::string host;
        int port;
        bool operator<(const Origin& other) const {
            return std::tie(scheme, host, port) < std::tie(other.scheme, other.host, other.port);
        }
    };
    std::set<std::string> m_hosts;
    std::set<Origin> m_publicOrigins;
    int m_port;
    std::string m_token;
};

} // namespace shell
