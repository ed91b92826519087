#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace server {

class BackupStore;

struct BackupServerOptions {
    std::string host {"127.0.0.1"};
    int port {8470}; // 0 picks a free port (tests)
    std::string dataFolder; // accounts database and stored archives
    bool autoAuthorize {false};
    // Registrations of this device are authorized at once (a service built into the
    // application, for its own device); others wait for their link.
    std::string authorizedDeviceID;
    std::size_t maxUploadBytes {200u * 1024 * 1024};
    // Base of the authorization links written to the log; empty = http://host:port
    std::string publicURL;
    // Where log lines go (stderr when empty).
    std::function<void(const std::string&)> log;
};

// The backup service: POST /mobile/services/<operation>/<device id> with form fields, JSON
// replies {"Status", "Description", "Data"}; "getfile" answers with the archive and its MD5
// in the "Hash" header. Registrations stay "authorization-pending" until the link
// GET /mobile/authorize/<token>, which the server writes to its log, is opened (it sends
// no mail), unless autoAuthorize is set.
class BackupServer {
public:
    explicit BackupServer(BackupServerOptions options);
    ~BackupServer();
    BackupServer(const BackupServer&) = delete;
    BackupServer& operator=(const BackupServer&) = delete;

    // Binds the address; false when it cannot. Then serves on a thread of its own until stop().
    bool start();
    // Serves on the calling thread until stop() is called from elsewhere (the executable).
    bool run();
    void stop();
    int port() const { return m_port; }
    std::string baseURL() const;
    BackupStore& store() { return *m_store; }

private:
    bool bind();
    void installRoutes();
    void handleService(const httplib::Request& request, httplib::Response& response);
    void handleAuthorize(const httplib::Request& request, httplib::Response& response);
    void log(const std::string& line) const;

    BackupServerOptions m_options;
    std::unique_ptr<BackupStore> m_store;
    std::unique_ptr<httplib::Server> m_http;
    std::thread m_thread;
    std::atomic<bool> m_listening {false};
    int m_port {0};
};

} // namespace server
