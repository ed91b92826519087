#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "shell/AccessPolicy.h"
#include "shell/InputOrder.h"

#include "httpd/ConnectionLimits.h"

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace httpd {
class GuardedServer;
}

namespace shell {

class PageHub;
class Shell;

// The HTTP side of the shell: the page and its files, the help pages, the frames, the event
// stream and the pages' messages. Requests are checked (access policy, then the message
// itself) on the server's threads; only well-formed ones are handed to the main loop.
//
//   GET  /                      the page           GET /events      server-sent events
//   GET  /frame.png[?scale=S]   the whole frame    GET /patch?scale=S&seq=N  one frame's patch
//   GET  /state                 the state message  GET /<file>      files of resources/web
//   GET  /mobile/vantrel/help/  the help pages of resources/help
//   POST /input /page /web /picture?id=N           the pages' messages (400 when malformed)
//   GET  /download/N            a file the application handed over (FileTransfers)
//   POST /file?id=N&name=NAME   the file the user chose for request N (empty: cancelled)
//
// Every request passes the access policy first (checkAccess, the one place for it), and a
// body is not read when the request announces more than its route takes. Connections are
// bounded in number, header size and count, and time (httpd::GuardedServer).
class ShellServer {
public:
    static constexpr size_t kMaxMessageBytes = 64 * 1024;
    static constexpr size_t kMaxPictureBytes = 16 * 1024 * 1024;
    static constexpr int kMaxPictureSide = 4096;
    static constexpr size_t kMaxPatchesAsked = 64;

    // Every open page holds a connection with its event stream; the rest is for requests.
    static httpd::ConnectionLimits defaultLimits();

    // `webRoot`: the folder of the page's files (resources/web of the bundle); `helpRoot`:
    // the help pages (resources/help).
    ShellServer(Shell& shell, PageHub& hub, std::string webRoot, std::string helpRoot,
        httpd::ConnectionLimits limits = defaultLimits());
    ~ShellServer();
    ShellServer(const ShellServer&) = delete;
    ShellServer& operator=(const ShellServer&) = delete;

    // Binds `address`:`port` (0 picks a free port) and sets the access policy for it (see
    // AccessPolicy::forListenAddress for `publicURL`).
    bool bind(const std::string& address, int port, std::string& error, const std::string& publicURL = {});
    // Serves on a thread of its own until stop(). Stopping is safe at any moment, also right
    // after start().
    void start();
    void stop();

    int port() const { return m_port; }
    const AccessPolicy& policy() const { return *m_policy; }
    // The address to open in a browser (with the token when one is needed).
    std::string addressToOpen(const std::string& host) const;
    // The public address with the token.
    std::string publicAddressToOpen(const std::string& publicURL) const;

private:
    using Request = httplib::Request;
    using Response = httplib::Response;

    void installRoutes();
    // The access policy, the common headers, and the size the route allows; true when the
    // request was answered here.
    static void withoutBrotli(const Request& request);
    bool checkAccess(const Request& request, Response& response);
    void handlePage(const Request& request, Response& response);
    void handleHelp(const Request& request, Response& response);
    void handleState(const Request& request, Response& response);
    void handleFrame(const Request& request, Response& response);
    void handleBackdrop(const Request& request, Response& response);
    void handlePatch(const Request& request, Response& response);
    void handlePatches(const Request& request, Response& response);
    void handleEvents(const Request& request, Response& response);
    void handleInput(const Request& request, Response& response);
    void handlePageState(const Request& request, Response& response);
    void handleWebContent(const Request& request, Response& response);
    void handlePicture(const Request& request, Response& response);
    void handleFile(const Request& request, Response& response);
    void handleDownload(const Request& request, Response& response);
    void handlePickedFile(const Request& request, Response& response);
    bool onMain(const std::function<void()>& task, double timeoutSeconds = 10);
    void serveFile(const std::string& relativePath, httplib::Response& response, bool frameable,
        const std::string& root);

    Shell& m_shell;
    PageHub& m_hub;
    std::string m_webRoot;
    std::string m_helpRoot;
    std::atomic<bool> m_stopping {false};
    InputOrder m_inputOrder;
    std::unique_ptr<httpd::GuardedServer> m_server;
    std::optional<AccessPolicy> m_policy;
    int m_port {0};
};

} // namespace shell
