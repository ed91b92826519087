#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/graphics/Image.h"
#include "shell/FrameStream.h"

namespace platform::views {
class Window;
}

namespace shell {

// The screen's frames at every scale somebody looks at: the scales the pages show and the
// scales a script fetched lately (/frame.png?scale=..., the canonical one without a scale).
// Nothing else is drawn, not even while no page is open: each scale costs a whole rendering
// and encoding of every frame.
//
// Scales are keyed by whole pixels across the upright screen (PageMessages::roundedScale).
class FramePublisher {
public:
    static constexpr double kCanonicalScale = 2;
    // A scale fetched by a script keeps being drawn this long after its last fetch.
    static constexpr std::chrono::seconds kRequestedFor {30};

    struct Frame {
        double scale {0};
        std::vector<FrameStream::Notice> notices; // its parts
    };

    // Main thread: draws `window` at the pages' scales and the other scales wanted, and
    // answers the frames that changed.
    std::vector<Frame> publish(platform::views::Window& window, const std::set<int>& pageScales);

    // Main thread: whether the window's backdrop changed since it was drawn at a page's scale
    // (see FrameStream::setBackdrop). It is drawn apart from the frames: a page needs it
    // only once it has shown them.
    bool backdropsBehind(platform::views::Window& window);
    // Draws it again at those scales, and answers each scale and its backdrop's new key
    // (empty: none now) where the key changed.
    std::vector<std::pair<double, std::string>> updateBackdrops(platform::views::Window& window);

    // Any thread: the stream at `scale` when frames are drawn at it now, else null; either way
    // the scale counts as fetched (drawn from the next publish on, for kRequestedFor).
    FrameStream* stream(double scale);

    // Draws `scale` too until stopExpecting(), or for kRequestedFor at most: the scale the
    // first page is expected at.
    void expect(double scale);
    void stopExpecting();

    // Any thread: the stream at `scale` when frames are drawn at it now, else null (without
    // asking for it).
    FrameStream* drawn(double scale) const;

    // The key of a scale (pixels across the upright screen) and back.
    static int keyOf(double scale);
    static double scaleOf(int key);

private:
    // The pages' streams whose backdrop is not of that version.
    std::vector<std::pair<int, FrameStream*>> behind(std::uint64_t backdropVersion) const;

    mutable std::mutex m_mutex;
    std::map<int, std::unique_ptr<FrameStream>> m_streams;
    std::map<int, platform::graphics::Image> m_spares; // main thread: frames to draw into again
    std::map<int, std::chrono::steady_clock::time_point> m_requested; // key -> last fetch
    std::set<int> m_drawn; // keys the last publish drew
    std::set<int> m_pageKeys; // of them, the pages' own
    int m_expectedKey {0};
};

} // namespace shell
