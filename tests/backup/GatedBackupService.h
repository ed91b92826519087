#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include <httplib.h>

#include "backup/ScriptedService.h"

namespace vantrel::test {

// The real backup service behind a gate that can hold the requests of an operation until the
// test lets them through, so that a reply arrives exactly while the user is somewhere (typing,
// looking at a question, waiting for a restore). Form requests only (no uploads): back up
// against the service itself.
class GatedBackupService {
public:
    explicit GatedBackupService(int servicePort)
        : m_port(servicePort) {
        for (const char* operation :
            {"registerdevice", "backupcount", "backuplist", "authorizationstatus", "getfile"})
            m_gate.on(
                operation, [this, operation](const httplib::Request& request, httplib::Response& response) {
                    pass(operation, request, response);
                });
    }
    ~GatedBackupService() { releaseAll(); }
    GatedBackupService(const GatedBackupService&) = delete;
    GatedBackupService& operator=(const GatedBackupService&) = delete;

    std::string baseURL() const { return m_gate.baseURL(); }

    void hold(const std::string& operation) {
        std::lock_guard lock(m_mutex);
        m_held.insert(operation);
    }
    void release(const std::string& operation) {
        {
            std::lock_guard lock(m_mutex);
            m_held.erase(operation);
        }
        m_changed.notify_all();
    }
    void releaseAll() {
        {
            std::lock_guard lock(m_mutex);
            m_held.clear();
        }
        m_changed.notify_all();
    }
    // Requests of the operation waiting at the gate.
    int waiting(const std::string& operation) {
        std::lock_guard lock(m_mutex);
        return m_waiting[operation];
    }
    // The operation's next replies are this JSON instead of the service's.
    void answer(const std::string& operation, const std::string& json) {
        std::lock_guard lock(m_mutex);
        m_answers[operation] = json;
    }

private:
    void pass(const std::string& operation, const httplib::Request& request, httplib::Response& response) {
        std::optional<std::string> answer;
        {
            std::unique_lock lock(m_mutex);
            ++m_waiting[operation];
            m_changed.wait(lock, [&] { return !m_held.count(operation); });
            --m_waiting[operation];
            if (auto found = m_answers.find(operation); found != m_answers.end())
                answer = found->second;
        }
        if (answer) {
            response.set_content(*answer, "application/json");
            return;
        }
        httplib::Client service("127.0.0.1", m_port);
        httplib::Params fields(request.params.begin(), request.params.end());
        auto reply = service.Post(request.path, fields);
        if (!reply) {
            response.status = 502;
            return;
        }
        response.status = reply->status;
        if (reply->has_header("Hash"))
            response.set_header("Hash", reply->get_header_value("Hash"));
        response.set_content(reply->body, reply->get_header_value("Content-Type"));
    }

    int m_port;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_held;
    std::map<std::string, int> m_waiting;
    std::map<std::string, std::string> m_answers;
    ScriptedService m_gate; // last: stopped first, while the rest still exists
};

} // namespace vantrel::test
