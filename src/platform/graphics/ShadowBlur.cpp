#include "platform/graphics/ShadowBlur.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include <xxhash.h>

namespace platform::graphics {

ShadowBlur::ShadowBlur(double radius) {
    if (!std::isfinite(radius) || radius <= 0)
        return;
    // Box widths for three passes approximating a Gaussian of sigma = radius / 2.
    const double sigma = std::min(radius, 2000.0) / 2;
    const int passes = 3;
    int lower = static_cast<int>(std::floor(std::sqrt(12 * sigma * sigma / passes + 1)));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = (12 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3.0 * passes)
        / (-4.0 * lower - 4);
    const int lowerCount = static_cast<int>(std::lround(m));
    for (int i = 0; i < passes; ++i)
        m_radii[static_cast<size_t>(i)] = ((i < lowerCount ? lower : upper) - 1) / 2;
}

namespace {

// Dividing by the window is the hot spot; multiply by a 24-bit fixed-point reciprocal.
std::uint64_t reciprocalOf(int window) {
    return ((std::uint64_t(1) << 24) + static_cast<std::uint64_t>(window) - 1)
        / static_cast<std::uint64_t>(window);
}

// One horizontal box pass over a row, zero outside, through `scratch`.
void horizontalPass(std::uint8_t* row, int width, int radius, std::vector<int>& scratch) {
    scratch.assign(row, row + width);
    const std::uint64_t reciprocal = reciprocalOf(2 * radius + 1);
    int sum = 0;
    for (int i = 0; i < radius && i < width; ++i)
        sum += scratch[static_cast<size_t>(i)];
    for (int i = 0; i < width; ++i) {
        if (int add = i + radius; add < width)
            sum += scratch[static_cast<size_t>(add)];
        if (int drop = i - radius - 1; drop >= 0)
            sum -= scratch[static_cast<size_t>(drop)];
        row[i] = static_cast<std::uint8_t>((static_cast<std::uint64_t>(sum) * reciprocal + (1u << 23)) >> 24);
    }
}

// One vertical box pass, a whole row at a time so memory is read in order.
void verticalPass(std::uint8_t* pixels, int width, int height, int stride, int radius,
    std::vector<std::uint8_t>& copy, std::vector<int>& sums) {
    const size_t w = static_cast<size_t>(width);
    copy.resize(w * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels + static_cast<std::ptrdiff_t>(y) * stride, width,
            copy.begin() + static_cast<std::ptrdiff_t>(y * w));
    sums.assign(w, 0);
    auto row = [&](int y) { return copy.data() + static_cast<size_t>(y) * w; };
    for (int y = 0; y < radius && y < height; ++y) {
        const std::uint8_t* source = row(y);
        for (size_t x = 0; x < w; ++x)
            sums[x] += source[x];
    }
    const std::uint64_t reciprocal = reciprocalOf(2 * radius + 1);
    for (int y = 0; y < height; ++y) {
        if (int add = y + radius; add < height) {
            const std::uint8_t* source = row(add);
            for (size_t x = 0; x < w; ++x)
                sums[x] += source[x];
        }
        if (int drop = y - radius - 1; drop >= 0) {
            const std::uint8_t* source = row(drop);
            for (size_t x = 0; x < w; ++x)
                sums[x] -= source[x];
        }
        std::uint8_t* out = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (size_t x = 0; x < w; ++x)
            out[x] = static_cast<std::uint8_t>(
                (static_cast<std::uint64_t>(sums[x]) * reciprocal + (1u << 23)) >> 24);
    }
}

} // namespace

void ShadowBlur::apply(std::uint8_t* pixels, int width, int height, int stride) const {
    if (!pixels || width <= 0 || height <= 0)
        return;
    std::vector<int> scratch;
    std::vector<std::uint8_t> copy;
    for (int radius : m_radii) {
        if (radius <= 0)
            continue;
        for (int y = 0; y < height; ++y)
            horizontalPass(pixels + static_cast<std::ptrdiff_t>(y) * stride, width, radius, scratch);
        verticalPass(pixels, width, height, stride, radius, copy, scratch);
    }
}

namespace {

// Blurred masks by their exact content, the least recently used dropped first.
class RememberedMasks {
public:
    bool find(std::uint64_t key, const std::string& mask, std::uint8_t* pixels, size_t size) {
        std::lock_guard lock(m_mutex);
        auto it = m_index.find(key);
        if (it == m_index.end() || it->second->mask != mask)
            return false;
        m_entries.splice(m_entries.begin(), m_entries, it->second);
        std::memcpy(pixels, it->second->blurred.data(), size);
        return true;
    }

    // Whether a mask of `size` bytes is small enough to keep: its key's bytes (a header of six
    // ints and the mask) and its blurred copy.
    static bool keeps(size_t size) { return sizeof(int) * 6 + 2 * size <= kMaxBytes / 8; }

    void add(std::uint64_t key, std::string mask, const std::uint8_t* pixels, size_t size) {
        std::lock_guard lock(m_mutex);
        if (auto it = m_index.find(key); it != m_index.end()) {
            m_bytes -= bytesOf(*it->second);
            m_entries.erase(it->second);
            m_index.erase(it);
        }
        m_entries.push_front({key, std::move(mask), std::string(reinterpret_cast<const char*>(pixels), size)});
        m_index[key] = m_entries.begin();
        m_bytes += bytesOf(m_entries.front());
        while (m_bytes > kMaxBytes) {
            m_bytes -= bytesOf(m_entries.back());
            m_index.erase(m_entries.back().key);
            m_entries.pop_back();
        }
    }

private:
    static constexpr size_t kMaxBytes = 16 << 20;
    struct Entry {
        std::uint64_t key;
        std::string mask;
        std::string blurred;
    };
    static size_t bytesOf(const Entry& entry) { return entry.mask.size() + entry.blurred.size(); }
    std::mutex m_mutex;
    std::list<Entry> m_entries;
    std::unordered_map<std::uint64_t, std::list<Entry>::iterator> m_index;
    size_t m_bytes {0};
};

RememberedMasks& rememberedMasks() {
    static RememberedMasks masks;
    return masks;
}

} // namespace

void ShadowBlur::applyRemembering(std::uint8_t* pixels, int width, int height, int stride) const {
    if (!pixels || width <= 0 || height <= 0 || stride < width)
        return;
    // The mask's bytes with its size and the blur's passes in front.
    const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(height);
    if (!RememberedMasks::keeps(size))
        return apply(pixels, width, height, stride);
    std::string mask(sizeof(int) * 6 + size, '\0');
    const int header[6] = {width, height, stride, m_radii[0], m_radii[1], m_radii[2]};
    std::memcpy(mask.data(), header, sizeof header);
    std::memcpy(mask.data() + sizeof header, pixels, size);
    const std::uint64_t key = XXH3_64bits(mask.data(), mask.size());
    if (rememberedMasks().find(key, mask, pixels, size))
        return;
    apply(pixels, width, height, stride);
    rememberedMasks().add(key, std::move(mask), pixels, size);
}

} // namespace platform::graphics
