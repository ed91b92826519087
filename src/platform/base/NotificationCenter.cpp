#include "platform/base/NotificationCenter.h"

#include <algorithm>

namespace platform {

ObserverToken& ObserverToken::operator=(ObserverToken&& other) noexcept {
    if (this != &other) {
        remove();
        m_id = other.m_id;
        other.m_id = 0;
    }
    return *this;
}

void ObserverToken::remove() {
    if (m_id) {
        NotificationCenter::defaultCenter().removeObserver(m_id);
        m_id = 0;
    }
}

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

ObserverToken NotificationCenter::addObserver(const std::string& name, Handler handler) {
    std::lock_guard lock(m_mutex);
    std::uint64_t id = m_nextId++;
    m_entries.push_back({id, name, std::make_shared<Handler>(std::move(handler))});
    return ObserverToken(id);
}

void NotificationCenter::removeObserver(std::uint64_t id) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [id](const Entry& e) { return e.id == id; });
}

void NotificationCenter::post(const Notification& notification) {
    std::vector<Entry> snapshot;
    {
        std::lock_guard lock(m_mutex);
        snapshot = m_entries;
    }
    for (const Entry& entry : snapshot) {
        if (!entry.name.empty() && entry.name != notification.name)
            continue;
        // An observer removed by an earlier handler of this same post must not be called.
        bool stillRegistered;
        {
            std::lock_guard lock(m_mutex);
            stillRegistered = std::any_of(
                m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.id == entry.id; });
        }
        if (stillRegistered)
            (*entry.handler)(notification);
    }
}

void NotificationCenter::post(const std::string& name, Dictionary userInfo, const void* object) {
    post(Notification {name, object, std::move(userInfo)});
}

} // namespace platform
