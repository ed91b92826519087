#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "shell/AccessPolicy.h"

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

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
class ShellServer {
public:
    static constexpr size_t kMaxMessageBytes = 64 * 1024;
    static constexpr size_t kMaxPictureBytes = 16 * 1024 * 1024;
    static constexpr int kMaxPictureSide = 4096;

    // `webRoot`: the folder of the page's files (resources/web of the bundle); `helpRoot`:
    // the help pages (resources/help).
    ShellServer(Shell& shell, PageHub& hub, std::string webRoot, std::string helpRoot);
    ~ShellServer();
    ShellServer(const ShellServer&) = delete;
    ShellServer& operator=(const ShellServer&) = delete;

    // Binds `address`:`port` (0 picks a free port) and sets the access policy for it.
    bool bind(const std::string& address, int port, std::string& error);
    // Serves on a thread of its own until stop().
    void start();
    void stop();

    int port() const { return m_port; }
    const AccessPolicy& policy() const { return *m_policy; }
    // The address to open in a browser (with the token when one is needed).
    std::string addressToOpen(const std::string& host) const;

private:
    void installRoutes();
    void handleDownload(const httplib::Request& request, httplib::Response& response);
    void handleFile(const httplib::Request& request, httplib::Response& response);
    bool onMain(const std::function<void()>& task, double timeoutSeconds = 10);
    void serveFile(const std::string& relativePath, httplib::Response& response, bool frameable,
        const std::string& root);

    Shell& m_shell;
    PageHub& m_hub;
    std::string m_webRoot;
    std::string m_helpRoot;
    std::atomic<bool> m_stopping {false};
    std::unique_ptr<httplib::Server> m_server;
    std::optional<AccessPolicy> m_policy;
    std::thread m_thread;
    int m_port {0};
};

} // namespace shell
