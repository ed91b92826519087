#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/Value.h"

namespace platform {

struct Notification {
    std::string name;
    const void* object {nullptr}; // the sender, compared by identity only
    Dictionary userInfo;
};

// Keeps an observer registered while it lives; destroying it (or calling remove())
// unregisters, so a destroyed observer is never called.
class ObserverToken {
public:
    ObserverToken() = default;
    ~ObserverToken() { remove(); }
    ObserverToken(ObserverToken&& other) noexcept
        : m_id(other.m_id) {
        other.m_id = 0;
    }
    ObserverToken& operator=(ObserverToken&& other) noexcept;
    ObserverToken(const ObserverToken&) = delete;
    ObserverToken& operator=(const ObserverToken&) = delete;

    void remove();
    bool isActive() const { return m_id != 0; }

private:
    friend class NotificationCenter;
    explicit ObserverToken(std::uint64_t id)
        : m_id(id) { }
    std::uint64_t m_id {0};
};

// Broadcast notifications, delivered synchronously on the thread that posts. Observers
// added or removed while a notification is being delivered take effect for the next post;
// an observer removed during delivery is not called afterwards.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // Observes notifications of one name (empty name = every notification).
    [[nodiscard]] ObserverToken addObserver(const std::string& name, Handler handler);
    void post(const Notification& notification);
    void post(const std::string& name, Dictionary userInfo = {}, const void* object = nullptr);

private:
    friend class ObserverToken;
    void removeObserver(std::uint64_t id);

    struct Entry {
        std::uint64_t id;
        std::string name;
        std::shared_ptr<Handler> handler;
    };
    std::mutex m_mutex;
    std::vector<Entry> m_entries;
    std::uint64_t m_nextId {1};
};

} // namespace platform
