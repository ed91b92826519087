#include "platform/graphics/ShadowBlur.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

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

} // namespace platform::graphics
