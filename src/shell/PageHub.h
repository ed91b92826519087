#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace shell {

// The open pages and the server-sent events waiting for each. A page is open while its
// event stream is connected. Any thread.
class PageHub {
public:
    static constexpr size_t kMaxPages = 16;
    // A page that does not keep up loses its oldest events beyond this; it reloads its
    // state and frame when it notices (every message carries enough to catch up).
    static constexpr size_t kMaxQueued = 256;

    // A new page; none when too many are open or the hub is shut down.
    std::optional<int> open();
    void close(int page);
    bool isOpen(int page) const;
    std::vector<int> pages() const;

    // Queues one server-sent event (`data` is one line of JSON).
    void send(int page, const std::string& event, const std::string& data);
    void broadcast(const std::string& event, const std::string& data);

    enum class Wait { Message, Timeout, Closed };
    // The next queued event of `page`, ready to write to its stream.
    Wait next(int page, double timeoutSeconds, std::string& message);

    // Closes every page and refuses new ones (the shell is stopping).
    void shutdown();

    static std::string format(const std::string& event, const std::string& data);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, std::deque<std::string>> m_queues;
    int m_nextPage {1};
    bool m_shutdown {false};
};

} // namespace shell
