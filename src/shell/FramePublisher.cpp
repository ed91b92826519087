#include "shell/FramePublisher.h"

#include <cmath>
#include <utility>

#include "platform/views/Screen.h"
#include "platform/views/Window.h"
#include "shell/PageMessages.h"

namespace shell {

int FramePublisher::keyOf(double scale) {
    return static_cast<int>(std::lround(PageMessages::roundedScale(scale) * platform::views::Screen::kWidth));
}

double FramePublisher::scaleOf(int key) {
    return key / platform::views::Screen::kWidth;
}

std::vector<FramePublisher::Frame> FramePublisher::publish(
    platform::views::Window& window, const std::set<int>& pageScales) {
    std::set<int> keys = pageScales;
    {
        std::lock_guard lock(m_mutex);
        auto now = std::chrono::steady_clock::now();
        std::erase_if(m_requested, [&](auto& entry) { return now - entry.second > kRequestedFor; });
        for (auto& [key, fetched] : m_requested)
            keys.insert(key);
    }
    std::vector<Frame> frames;
    for (int key : keys) {
        FrameStream* stream;
        {
            std::lock_guard lock(m_mutex);
            auto& slot = m_streams[key];
            if (!slot)
                slot = std::make_unique<FrameStream>(scaleOf(key));
            stream = slot.get();
        }
        // Only this thread publishes; readers take the stream's own lock. Each scale draws
        // into the frame before last, which nothing reads any more.
        platform::graphics::Image& spare = m_spares[key];
        platform::graphics::Image image = window.render(scaleOf(key), std::move(spare));
        spare = {};
        if (auto notices = stream->publish(image, &spare); !notices.empty())
            frames.push_back({scaleOf(key), std::move(notices)});
    }
    std::erase_if(m_spares, [&](auto& entry) { return !keys.contains(entry.first); });
    std::lock_guard lock(m_mutex);
    m_drawn = std::move(keys);
    m_pageKeys = pageScales;
    return frames;
}

std::vector<std::pair<int, FrameStream*>> FramePublisher::behind(std::uint64_t backdropVersion) const {
    std::vector<std::pair<int, FrameStream*>> streams;
    std::lock_guard lock(m_mutex);
    for (int key : m_pageKeys) {
        auto it = m_streams.find(key);
        if (it != m_streams.end() && m_drawn.contains(key) && it->second->backdropVersion() != backdropVersion)
            streams.emplace_back(key, it->second.get());
    }
    return streams;
}

bool FramePublisher::backdropsBehind(platform::views::Window& window) {
    return !behind(window.backdropVersion()).empty();
}

std::vector<std::pair<double, std::string>> FramePublisher::updateBackdrops(platform::views::Window& window) {
    const std::uint64_t version = window.backdropVersion();
    std::vector<std::pair<double, std::string>> changed;
    for (auto& [key, stream] : behind(version)) {
        const std::string before = stream->backdropKey();
        stream->setBackdrop(version, window.renderBackdrop(scaleOf(key)));
        if (stream->backdropKey() != before)
            changed.emplace_back(scaleOf(key), stream->backdropKey());
    }
    return changed;
}

void FramePublisher::expect(double scale) {
    std::lock_guard lock(m_mutex);
    m_expectedKey = keyOf(scale);
    m_requested[m_expectedKey] = std::chrono::steady_clock::now();
}

void FramePublisher::stopExpecting() {
    std::lock_guard lock(m_mutex);
    m_requested.erase(std::exchange(m_expectedKey, 0));
}

FrameStream* FramePublisher::stream(double scale) {
    int key = keyOf(scale);
    std::lock_guard lock(m_mutex);
    // A page's own fetches need no keeping: its scale is drawn while it shows it.
    if (!m_pageKeys.contains(key))
        m_requested[key] = std::chrono::steady_clock::now();
    auto it = m_streams.find(key);
    if (it == m_streams.end() || !m_drawn.contains(key))
        return nullptr;
    return it->second.get();
}

FrameStream* FramePublisher::drawn(double scale) const {
    int key = keyOf(scale);
    std::lock_guard lock(m_mutex);
    auto it = m_streams.find(key);
    return it == m_streams.end() || !m_drawn.contains(key) ? nullptr : it->second.get();
}

} // namespace shell
