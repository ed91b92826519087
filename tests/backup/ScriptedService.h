#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include <httplib.h>

namespace vantrel::test {

// A stand-in for a backup service that answers what the test scripts, for replies the real
// service never gives (broken JSON, wrong hashes, odd counts). Unscripted operations answer 500.
class ScriptedService {
public:
    using Reply = std::function<void(const httplib::Request&, httplib::Response&)>;

    ScriptedService() {
        m_server.Post(R"(/mobile/services/([^/]+)/([^/]+))",
            [this](const httplib::Request& request, httplib::Response& response) {
                Reply reply;
                {
                    std::lock_guard lock(m_mutex);
                    ++m_calls[request.matches[1]];
                    if (auto found = m_replies.find(request.matches[1]); found != m_replies.end())
                        reply = found->second;
                }
                if (reply)
                    reply(request, response);
                else
                    response.status = 500;
            });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~ScriptedService() {
        m_server.stop();
        m_thread.join();
    }
    ScriptedService(const ScriptedService&) = delete;
    ScriptedService& operator=(const ScriptedService&) = delete;

    std::string baseURL() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }

    void on(const std::string& operation, Reply reply) {
        std::lock_guard lock(m_mutex);
        m_replies[operation] = std::move(reply);
    }
    // Replies with this JSON text.
    void onJSON(const std::string& operation, const std::string& json) {
        on(operation, [json](const httplib::Request&, httplib::Response& response) {
            response.set_content(json, "application/json");
        });
    }
    int calls(const std::string& operation) {
        std::lock_guard lock(m_mutex);
        return m_calls[operation];
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port {0};
    std::mutex m_mutex;
    std::map<std::string, Reply> m_replies;
    std::map<std::string, int> m_calls;
};

} // namespace vantrel::test
