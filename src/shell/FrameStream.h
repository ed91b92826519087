#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Image.h"

namespace shell {

// The screen's frames at one scale, as the pages fetch them: the whole current frame, and
// for each new frame the rectangle that changed since the one before (a patch), so that a
// page that is up to date fetches only that. A large patch comes in strips (parts), each with
// a sequence number of its own, encoded side by side and decoded side by side by the page,
// which shows the frame once it has every part. The main thread publishes; any thread reads.
class FrameStream {
public:
    struct Notice {
        std::uint64_t sequence {0};
        int width {0}; // the whole frame, pixels
        int height {0};
        int x {0}; // the patch, pixels
        int y {0};
        int patchWidth {0};
        int patchHeight {0};
        int part {0}; // of the frame's parts, numbered from 0
        int parts {1};
        bool whole {false}; // the parts together make the whole frame
        // For strips and large patches, what their pixels hash to: a page that drew the same
        // pixels before (a screen shown again) draws them from memory instead of fetching them.
        std::string key {};
        // A part on the backdrop (named by its key) is the backdrop except in the rectangle
        // sent (none when its width is 0): a page draws the backdrop's pixels there first.
        bool onBackdrop {false};
        std::string backdrop {};
        int sentX {0};
        int sentY {0};
        int sentWidth {0};
        int sentHeight {0};
        bool operator==(const Notice&) const = default;
    };
    static constexpr size_t kKeptPatches = 96;
    // Patches of more pixels than this are cut into strips of this many points, on a grid fixed
    // to the screen.
    static constexpr int kBandPixels = 600'000;
    static constexpr double kStripPoints = 128;
    // Strips, and patches of at least this many pixels, carry a key, and their encodings are
    // remembered by it, up to kRememberedBytes: a screen shown again is not encoded again.
    static constexpr int kKeyedPixels = 250'000;
    static constexpr size_t kRememberedBytes = 12 << 20;

    // Encodes a blank strip as large as those of upright frames `points` wide at `scale` on
    // both encoding threads: their buffers and compressors are then in place before the first
    // frame, which otherwise spends a third of its encoding on setting them up.
    static void prepareEncoders(double points, double scale);

    explicit FrameStream(double scale);
    FrameStream(const FrameStream&) = delete;
    FrameStream& operator=(const FrameStream&) = delete;

    double scale() const { return m_scale; }

    // Takes a newly drawn screen (upright, `scale` pixels per point). Answers the notices of
    // the new frame's parts, in order, or none when no pixel changed. `spare` receives the
    // image nothing needs any more (the frame before, or `image` itself when it changed
    // nothing), for the next screen to be drawn into.
    std::vector<Notice> publish(
        const platform::graphics::Image& image, platform::graphics::Image* spare = nullptr);

    // The picture most screens show beneath their content, drawn at this scale (see
    // Window::renderBackdrop), and the version it was drawn at. Once a page has fetched it,
    // strips and large patches leave out the rows and columns equal to it: the bytes of a new
    // screen are then mostly its own content. No image (a turned window) keeps the one before.
    // Main thread, like publish.
    std::uint64_t backdropVersion() const { return m_backdropVersion; }
    const std::string& backdropKey() const { return m_backdropKey; } // empty without one
    void setBackdrop(std::uint64_t version, const platform::graphics::Image& image);
    // The backdrop's PNG when `key` names the current one (any thread), else null.
    std::shared_ptr<const std::string> backdropPNG(const std::string& key);

    // The latest notice (none before the first frame).
    std::optional<Notice> latest() const;
    // The notices of the latest frame when it came whole and its parts are still kept, else
    // none: a page that needs the whole frame fetches those.
    std::vector<Notice> wholeParts() const;
    // The whole latest frame as PNG (null before the first frame), and its sequence number.
    std::shared_ptr<const std::string> framePNG(std::uint64_t* sequence = nullptr);
    // The patch that made frame `sequence` out of the one before; null once it is no longer kept.
    std::shared_ptr<const std::string> patchPNG(std::uint64_t sequence, Notice* notice = nullptr) const;

    // Pixels of a drawn frame, as stored (32-bit native-endian xRGB or premultiplied ARGB).
    struct Pixels {
        const unsigned char* data {nullptr};
        int width {0};
        int height {0};
        int stride {0};
        bool hasAlpha {false};
    };

private:
    struct Patch {
        Notice notice;
        std::shared_ptr<const std::string> png;
    };

    static int stripRows(double scale);
    std::shared_ptr<const std::string> rememberedLocked(const std::string& key);
    std::shared_ptr<const std::string> encodePart(const Pixels& pixels, Notice& part, const Pixels* backdrop);

    double m_scale;
    std::mutex m_rememberedMutex;
    std::list<std::pair<std::string, std::shared_ptr<const std::string>>> m_remembered; // latest first
    size_t m_rememberedBytes {0};
    mutable std::mutex m_mutex;
    platform::graphics::Image m_current; // keeps m_currentPixels alive
    Pixels m_currentPixels;
    std::optional<Notice> m_latest;
    std::shared_ptr<const std::string> m_fullPNG;
    std::deque<Patch> m_patches;
    // The backdrop: replaced by the main thread only, read by it without the lock.
    std::uint64_t m_backdropVersion {0};
    platform::graphics::Image m_backdropImage;
    Pixels m_backdropPixels;
    std::string m_backdropKey;
    std::shared_ptr<const std::string> m_backdropPNG; // encoded when first fetched
    std::atomic<bool> m_backdropFetched {false};
};

} // namespace shell
