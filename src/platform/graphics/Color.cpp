#include "platform/graphics/Color.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace platform::graphics {

std::uint32_t Color::hex() const {
    auto c = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return (c(red) << 16) | (c(green) << 8) | c(blue);
}

std::string Color::description() const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "rgba(%.3f, %.3f, %.3f, %.3f)", red, green, blue, alpha);
    return buffer;
}

} // namespace platform::graphics
