#include "shell/PageHub.h"

#include <chrono>

namespace shell {

std::optional<int> PageHub::open() {
    std::lock_guard lock(m_mutex);
    if (m_shutdown || m_queues.size() >= kMaxPages)
        return std::nullopt;
    int page = m_nextPage++;
    m_queues[page];
    return page;
}

void PageHub::close(int page) {
    {
        std::lock_guard lock(m_mutex);
        m_queues.erase(page);
    }
    m_changed.notify_all();
}

bool PageHub::isOpen(int page) const {
    std::lock_guard lock(m_mutex);
    return m_queues.contains(page);
}

std::vector<int> PageHub::pages() const {
    std::lock_guard lock(m_mutex);
    std::vector<int> result;
    for (auto& [page, queue] : m_queues)
        result.push_back(page);
    return result;
}

std::string PageHub::format(const std::string& event, const std::string& data) {
    return "event: " + event + "\ndata: " + data + "\n\n";
}

void PageHub::send(int page, const std::string& event, const std::string& data) {
    {
        std::lock_guard lock(m_mutex);
        auto it = m_queues.find(page);
        if (it == m_queues.end())
            return;
        it->second.push_back(format(event, data));
        while (it->second.size() > kMaxQueued)
            it->second.pop_front();
    }
    m_changed.notify_all();
}

void PageHub::broadcast(const std::string& event, const std::string& data) {
    {
        std::lock_guard lock(m_mutex);
        std::string message = format(event, data);
        for (auto& [page, queue] : m_queues) {
            queue.push_back(message);
            while (queue.size() > kMaxQueued)
                queue.pop_front();
        }
    }
    m_changed.notify_all();
}

PageHub::Wait PageHub::next(int page, double timeoutSeconds, std::string& message) {
    std::unique_lock lock(m_mutex);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        auto it = m_queues.find(page);
        if (it == m_queues.end())
            return Wait::Closed;
        if (!it->second.empty()) {
            message = std::move(it->second.front());
            it->second.pop_front();
            return Wait::Message;
        }
        if (m_changed.wait_until(lock, deadline) == std::cv_status::timeout) {
            it = m_queues.find(page);
            if (it == m_queues.end())
                return Wait::Closed;
            if (it->second.empty())
                return Wait::Timeout;
        }
    }
}

void PageHub::shutdown() {
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
        m_queues.clear();
    }
    m_changed.notify_all();
}

} // namespace shell
