#pragma once

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include <httplib.h>

namespace vantrel::test {

// A web server on a free loopback port whose paths answer with a redirect (302 and a
// Location) or a plain page, as the test sets them up. Counts the requests it served.
class RedirectServer {
public:
    RedirectServer() {
        m_server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            ++m_requests;
            auto redirect = m_redirects.find(request.path);
            if (redirect != m_redirects.end()) {
                response.status = 302;
                response.set_header("Location", redirect->second);
                return;
            }
            response.status = m_pages.count(request.path) ? 200 : 404;
            response.set_content("<html><title>" + request.path + "</title></html>", "text/html");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~RedirectServer() { stop(); }
    RedirectServer(const RedirectServer&) = delete;
    RedirectServer& operator=(const RedirectServer&) = delete;

    // Set up before the first request.
    void redirect(const std::string& path, const std::string& location) { m_redirects[path] = location; }
    void page(const std::string& path) { m_pages[path] = true; }

    void stop() {
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }
    std::string url(const std::string& path) const {
        return base() + path.substr(path.front() == '/' ? 1 : 0);
    }
    int requests() const { return m_requests; }

private:
    httplib::Server m_server;
    std::map<std::string, std::string> m_redirects;
    std::map<std::string, bool> m_pages;
    std::thread m_thread;
    std::atomic<int> m_requests {0};
    int m_port {0};
};

// An address where nothing listens: connecting is refused at once.
inline std::string refusedURL() {
    RedirectServer server;
    std::string url = server.url("/gone");
    server.stop();
    return url;
}

} // namespace vantrel::test
