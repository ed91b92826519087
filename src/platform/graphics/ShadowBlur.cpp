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

// One box pass over `count` samples `step` apart, zero outside, through `scratch`.
void boxPass(std::uint8_t* first, int count, int step, int radius, std::vector<int>& scratch) {
    scratch.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        scratch[static_cast<size_t>(i)] = first[i * step];
    const int window = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i < radius && i < count; ++i)
        sum += scratch[static_cast<size_t>(i)];
    for (int i = 0; i < count; ++i) {
        if (int add = i + radius; add < count)
            sum += scratch[static_cast<size_t>(add)];
        if (int drop = i - radius - 1; drop >= 0)
            sum -= scratch[static_cast<size_t>(drop)];
        first[i * step] = static_cast<std::uint8_t>((sum + window / 2) / window);
    }
}

} // namespace

void ShadowBlur::apply(std::uint8_t* pixels, int width, int height, int stride) const {
    if (!pixels || width <= 0 || height <= 0)
        return;
    std::vector<int> scratch;
    for (int radius : m_radii) {
        if (radius <= 0)
            continue;
        for (int y = 0; y < height; ++y)
            boxPass(pixels + static_cast<std::ptrdiff_t>(y) * stride, width, 1, radius, scratch);
        for (int x = 0; x < width; ++x)
            boxPass(pixels + x, height, stride, radius, scratch);
    }
}

} // namespace platform::graphics
