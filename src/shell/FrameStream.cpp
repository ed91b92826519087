#include "shell/FrameStream.h"

#include <cairo.h>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <future>
#include <thread>

#include <xxhash.h>

#include "platform/graphics/PngEncoder.h"

namespace shell {

using platform::graphics::Image;
using platform::graphics::PngEncoder;

namespace {

using Pixels = FrameStream::Pixels;

Pixels pixelsOf(const Image& image) {
    cairo_surface_t* surface = image.cairoSurface();
    if (!surface)
        return {};
    cairo_surface_flush(surface);
    return {cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
        cairo_image_surface_get_height(surface), cairo_image_surface_get_stride(surface),
        cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32};
}

std::uint32_t pixel(const Pixels& p, int x, int y) {
    std::uint32_t value;
    std::memcpy(&value, p.data + static_cast<std::ptrdiff_t>(y) * p.stride + x * 4, 4);
    // The unused byte of xRGB pixels may hold anything.
    return p.hasAlpha ? value : value & 0x00ffffff;
}

// The smallest rectangle holding every changed pixel; width 0 when none changed.
void changedRect(const Pixels& a, const Pixels& b, int& x, int& y, int& width, int& height) {
    int top = -1, bottom = -1, left = a.width, right = -1;
    for (int row = 0; row < a.height; ++row) {
        const unsigned char* rowA = a.data + static_cast<std::ptrdiff_t>(row) * a.stride;
        const unsigned char* rowB = b.data + static_cast<std::ptrdiff_t>(row) * b.stride;
        if (std::memcmp(rowA, rowB, static_cast<size_t>(a.width) * 4) == 0)
            continue;
        int first = 0;
        while (first < a.width && pixel(a, first, row) == pixel(b, first, row))
            ++first;
        if (first == a.width)
            continue;
        int last = a.width - 1;
        while (last > first && pixel(a, last, row) == pixel(b, last, row))
            --last;
        if (top < 0)
            top = row;
        bottom = row;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0) {
        x = y = width = height = 0;
        return;
    }
    x = left;
    y = top;
    width = right - left + 1;
    height = bottom - top + 1;
}

std::shared_ptr<const std::string> encode(const Pixels& p, int x, int y, int width, int height) {
    auto png = std::make_shared<std::string>(PngEncoder::encode(
        p.data + static_cast<std::ptrdiff_t>(y) * p.stride + x * 4, width, height, p.stride, p.hasAlpha));
    return png->empty() ? nullptr : png;
}

Pixels within(const Pixels& p, int x, int y, int width, int height) {
    return {p.data + static_cast<std::ptrdiff_t>(y) * p.stride + x * 4, width, height, p.stride, p.hasAlpha};
}

std::string hexOf(XXH128_hash_t hash) {
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(hash.high64),
        static_cast<unsigned long long>(hash.low64));
    return text;
}

// 128 bits of XXH3 over a patch's pixels and its size, in hex. The unused byte of xRGB pixels
// is hashed as it is: equal keys still mean equal pixels, and copying every row to clear it
// cost more than hashing.
std::string contentKey(const Pixels& p, int x, int y, int width, int height) {
    XXH3_state_t* state = XXH3_createState();
    XXH3_128bits_reset(state);
    const int header[3] = {width, height, p.hasAlpha};
    XXH3_128bits_update(state, header, sizeof header);
    for (int line = y; line < y + height; ++line) {
        const unsigned char* source = p.data + static_cast<std::ptrdiff_t>(line) * p.stride + x * 4;
        XXH3_128bits_update(state, source, static_cast<size_t>(width) * 4);
    }
    XXH128_hash_t hash = XXH3_128bits_digest(state);
    XXH3_freeState(state);
    return hexOf(hash);
}

// The key of pixels sent as what differs from the backdrop `backdropKey`.
std::string keyOnBackdrop(const std::string& key, const std::string& backdropKey) {
    const std::string both = key + backdropKey;
    return hexOf(XXH3_128bits(both.data(), both.size()));
}

// The thread that encodes every other strip, kept for the life of the process: the encoder's
// buffers and compressor belong to its thread, and a new thread per frame paid for them
// afresh each time (megabytes zeroed and faulted in, some 3 ms a frame).
class BandThread {
public:
    using Task = std::packaged_task<std::shared_ptr<const std::string>()>;

    BandThread()
        : m_thread([this] { serve(); }) { }
    ~BandThread() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    std::future<std::shared_ptr<const std::string>> run(
        std::function<std::shared_ptr<const std::string>()> work) {
        Task task(std::move(work));
        auto result = task.get_future();
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_changed.notify_all();
        return result;
    }

private:
    void serve() {
        for (;;) {
            Task task;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
                if (m_tasks.empty())
                    return;
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Task> m_tasks;
    bool m_stopping {false};
    std::thread m_thread;
};

BandThread& bandThread() {
    static BandThread thread;
    return thread;
}

} // namespace

void FrameStream::prepareEncoders(double points, double scale) {
    const int width = static_cast<int>(std::ceil(points * scale));
    const int rows = stripRows(scale);
    std::vector<unsigned char> blank(static_cast<size_t>(width) * 4 * rows);
    Pixels pixels {blank.data(), width, rows, width * 4, false};
    auto other = bandThread().run([&] { return encode(pixels, 0, 0, width, rows); });
    encode(pixels, 0, 0, width, rows);
    other.wait();
}

FrameStream::FrameStream(double scale)
    : m_scale(scale) { }

int FrameStream::stripRows(double scale) {
    return std::max(32, static_cast<int>(std::lround(kStripPoints * scale)));
}

std::shared_ptr<const std::string> FrameStream::rememberedLocked(const std::string& key) {
    for (auto it = m_remembered.begin(); it != m_remembered.end(); ++it) {
        if (it->first == key) {
            m_remembered.splice(m_remembered.begin(), m_remembered, it);
            return it->second;
        }
    }
    return nullptr;
}

std::shared_ptr<const std::string> FrameStream::encodePart(
    const Pixels& pixels, Notice& part, const Pixels* backdrop) {
    if (part.parts == 1 && part.patchWidth * part.patchHeight < kKeyedPixels)
        return encode(pixels, part.x, part.y, part.patchWidth, part.patchHeight);
    // The part as it is goes first: it is good for any page, and the page may hold it already
    // (a screen seen before the backdrop came).
    part.key = contentKey(pixels, part.x, part.y, part.patchWidth, part.patchHeight);
    {
        std::lock_guard lock(m_rememberedMutex);
        if (auto png = rememberedLocked(part.key))
            return png;
    }
    int sentX = part.x, sentY = part.y, sentWidth = part.patchWidth, sentHeight = part.patchHeight;
    if (backdrop) {
        // Only what differs from the backdrop, when that leaves out enough to matter. A
        // rectangle rather than single pixels: pictures with transparency take browsers two to
        // three times as long to decode, and the backdrop then draws as a plain copy.
        int x, y, width, height;
        changedRect(within(pixels, part.x, part.y, part.patchWidth, part.patchHeight),
            within(*backdrop, part.x, part.y, part.patchWidth, part.patchHeight), x, y, width, height);
        if (8 * width * height <= 7 * part.patchWidth * part.patchHeight) {
            part.onBackdrop = true;
            part.backdrop = m_backdropKey;
            part.sentX = sentX = part.x + x;
            part.sentY = sentY = part.y + y;
            part.sentWidth = sentWidth = width;
            part.sentHeight = sentHeight = height;
            part.key = keyOnBackdrop(part.key, m_backdropKey);
            std::lock_guard lock(m_rememberedMutex);
            if (auto png = rememberedLocked(part.key))
                return png;
        }
    }
    auto png = sentWidth > 0 ? encode(pixels, sentX, sentY, sentWidth, sentHeight)
        : std::make_shared<const std::string>(); // the backdrop alone
    if (!png)
        return nullptr;
    std::lock_guard lock(m_rememberedMutex);
    // The other core may have encoded the same pixels meanwhile (alike strips of one frame).
    if (auto kept = rememberedLocked(part.key))
        return kept;
    m_remembered.emplace_front(part.key, png);
    m_rememberedBytes += png->size();
    while (m_rememberedBytes > kRememberedBytes && m_remembered.size() > 1) {
        m_rememberedBytes -= m_remembered.back().second->size();
        m_remembered.pop_back();
    }
    return png;
}

std::vector<FrameStream::Notice> FrameStream::publish(const Image& image, Image* spare) {
    Pixels next = pixelsOf(image);
    if (!next.data || next.width <= 0 || next.height <= 0)
        return {};

    // Only this thread replaces the current frame, so it may be read without the lock.
    Pixels previous = m_currentPixels;
    Notice notice;
    notice.width = next.width;
    notice.height = next.height;
    bool whole = !previous.data || previous.width != next.width || previous.height != next.height;
    if (!whole) {
        changedRect(previous, next, notice.x, notice.y, notice.patchWidth, notice.patchHeight);
        if (notice.patchWidth == 0) {
            if (spare)
                *spare = image;
            return {};
        }
        // Only a patch of (almost) every pixel is the whole frame; a push still leaves the
        // status bar out, which is worth its bytes.
        whole = notice.patchWidth == next.width && notice.patchHeight >= next.height - 1;
    }
    if (whole) {
        notice.x = notice.y = 0;
        notice.patchWidth = next.width;
        notice.patchHeight = next.height;
        notice.whole = true;
    }
    const bool backdropFits = m_backdropPixels.data && m_backdropPixels.width == next.width
        && m_backdropPixels.height == next.height && m_backdropPixels.hasAlpha == next.hasAlpha
        && m_backdropFetched.load();
    const Pixels* backdrop = backdropFits ? &m_backdropPixels : nullptr;

    // A large change comes in strips on a fixed grid, as wide as the screen when it is most of
    // it: screens of one kind (each car's page) share most of their strips, which the shell and
    // the page then have already. Encoded on two cores, alternate strips each.
    std::vector<Notice> notices {notice};
    if (notice.patchWidth * notice.patchHeight > kBandPixels) {
        if (2 * notice.patchWidth >= next.width) {
            notice.x = 0;
            notice.patchWidth = next.width;
        }
        const int rows = stripRows(m_scale);
        notices.clear();
        for (int top = notice.y; top < notice.y + notice.patchHeight;) {
            Notice strip = notice;
            strip.y = top;
            strip.patchHeight = std::min((top / rows + 1) * rows, notice.y + notice.patchHeight) - top;
            top += strip.patchHeight;
            notices.push_back(strip);
        }
        for (size_t i = 0; i < notices.size(); ++i) {
            notices[i].part = static_cast<int>(i);
            notices[i].parts = static_cast<int>(notices.size());
        }
    }
    std::vector<std::shared_ptr<const std::string>> pngs(notices.size());
    std::future<std::shared_ptr<const std::string>> second;
    if (notices.size() > 1) {
        second = bandThread().run([this, &next, &notices, &pngs, backdrop] {
            for (size_t i = 1; i < notices.size(); i += 2)
                pngs[i] = encodePart(next, notices[i], backdrop);
            return std::shared_ptr<const std::string>();
        });
    }
    for (size_t i = 0; i < notices.size(); i += 2)
        pngs[i] = encodePart(next, notices[i], backdrop);
    if (second.valid())
        second.get();
    for (auto& png : pngs) {
        if (!png)
            return {};
    }

    std::lock_guard lock(m_mutex);
    std::uint64_t sequence = m_latest ? m_latest->sequence : 0;
    for (size_t i = 0; i < notices.size(); ++i) {
        notices[i].sequence = ++sequence;
        m_patches.push_back({notices[i], pngs[i]});
    }
    if (spare)
        *spare = std::move(m_current);
    m_current = image;
    m_currentPixels = next;
    m_latest = notices.back();
    m_fullPNG = whole && notices.size() == 1 && !notices[0].onBackdrop ? pngs[0] : nullptr;
    while (m_patches.size() > kKeptPatches)
        m_patches.pop_front();
    return notices;
}

void FrameStream::setBackdrop(std::uint64_t version, const Image& image) {
    m_backdropVersion = version;
    Pixels pixels = pixelsOf(image);
    // None (the window turned): the one before stays, for when it turns back; the turned
    // frames do not fit it.
    if (!pixels.data)
        return;
    std::string key = contentKey(pixels, 0, 0, pixels.width, pixels.height);
    if (key == m_backdropKey)
        return;
    std::lock_guard lock(m_mutex);
    m_backdropImage = image;
    m_backdropPixels = pixels;
    m_backdropKey = std::move(key);
    m_backdropPNG = nullptr;
    // Parts on it only once a page holds the new one.
    m_backdropFetched = false;
}

std::shared_ptr<const std::string> FrameStream::backdropPNG(const std::string& key) {
    std::lock_guard lock(m_mutex);
    if (key.empty() || key != m_backdropKey)
        return nullptr;
    if (!m_backdropPNG)
        m_backdropPNG = encode(m_backdropPixels, 0, 0, m_backdropPixels.width, m_backdropPixels.height);
    if (m_backdropPNG)
        m_backdropFetched = true;
    return m_backdropPNG;
}

std::vector<FrameStream::Notice> FrameStream::wholeParts() const {
    std::lock_guard lock(m_mutex);
    if (!m_latest || !m_latest->whole)
        return {};
    std::vector<Notice> parts;
    for (auto& patch : m_patches) {
        if (patch.notice.sequence + m_latest->parts > m_latest->sequence)
            parts.push_back(patch.notice);
    }
    return parts.size() == static_cast<size_t>(m_latest->parts) ? parts : std::vector<Notice> {};
}

std::optional<FrameStream::Notice> FrameStream::latest() const {
    std::lock_guard lock(m_mutex);
    return m_latest;
}

std::shared_ptr<const std::string> FrameStream::framePNG(std::uint64_t* sequence) {
    std::lock_guard lock(m_mutex);
    if (!m_latest)
        return nullptr;
    if (!m_fullPNG) {
        m_fullPNG = encode(m_currentPixels, 0, 0, m_currentPixels.width, m_currentPixels.height);
    }
    if (sequence)
        *sequence = m_latest->sequence;
    return m_fullPNG;
}

std::shared_ptr<const std::string> FrameStream::patchPNG(std::uint64_t sequence, Notice* notice) const {
    std::lock_guard lock(m_mutex);
    for (auto& patch : m_patches) {
        if (patch.notice.sequence == sequence) {
            if (notice)
                *notice = patch.notice;
            return patch.png;
        }
    }
    return nullptr;
}

} // namespace shell
