#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <map>
#include <mutex>
#include <thread>

#include "httpd/ConnectionLimits.h"

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace httpd {
class GuardedServer;
}

namespace server {

class BackupStore;

struct BackupServerOptions {
    std::string host {"127.0.0.1"};
    int port {8470}; // 0 picks a free port (tests)
    std::string dataFolder; // accounts database and stored archives
    bool autoAuthorize {false};
    std::size_t maxUploadBytes {200u * 1024 * 1024};
    // Base of the authorization links written to the log; empty = http://host:port
    std::string publicURL;
    // Where log lines go (stderr when empty).
    std::function<void(const std::string&)> log;
    // What one client may cost (connections, header size and count, times).
    httpd::ConnectionLimits limits {};
    // Registrations accepted from one client address within a minute.
    int registrationsPerAddressPerMinute {10};
};

// The backup service: POST /mobile/services/<operation>/<device id> with form fields, JSON
// replies {"Status", "Description", "Data"}; "getfile" answers with the archive and its MD5
// in the "Hash" header. Registrations stay "authorization-pending" until the link
// GET /mobile/authorize/<token>, which the server writes to its log, is opened (it sends
// no mail), unless autoAuthorize is set.
//
// Anyone who can reach the port can talk to it, so every connection is bounded (see
// httpd::GuardedServer), an upload's device is checked before its body is read, bodies of
// other operations are small, registrations are limited per address and minute, and what
// clients send is escaped before it reaches the log.
class BackupServer {
public:
    explicit BackupServer(BackupServerOptions options);
    ~BackupServer();
    BackupServer(const BackupServer&) = delete;
    BackupServer& operator=(const BackupServer&) = delete;

    // Binds the address; false when it cannot. Then serves on a thread of its own until stop().
    bool start();
    // Serves until stop() is called from another thread (the executable's signal thread).
    bool run();
    // Safe at any moment and more than once.
    void stop();
    int port() const { return m_port; }
    std::string baseURL() const;
    BackupStore& store() { return *m_store; }

private:
    bool bind();
    void installRoutes();
    // Before a body is read: refuses what is too large for its operation and uploads from a
    // device that is not authorized. True when the request was answered here.
    bool refuseBeforeBody(const httplib::Request& request, httplib::Response& response);
    void handleService(const httplib::Request& request, httplib::Response& response);
    void handleRegistration(const httplib::Request& request, httplib::Response& response,
        const std::string& email, const std::string& deviceID);
    void handleAuthorize(const httplib::Request& request, httplib::Response& response);
    // False once the address registered too often within the last minute.
    bool allowRegistration(const std::string& address);
    void log(const std::string& line) const;

    BackupServerOptions m_options;
    std::unique_ptr<BackupStore> m_store;
    std::unique_ptr<httpd::GuardedServer> m_http;
    int m_port {0};
    std::mutex m_registrationMutex;
    // Per address: the start of its current minute and the registrations in it.
    std::map<std::string, std::pair<std::chrono::steady_clock::time_point, int>> m_registrations;
};

} // namespace server
