#include "QLCoreLibrary/ColorExtensions.h"

#include <algorithm>
#include <cmath>

platform::graphics::Color changeAlpha(const platform::graphics::Color& color, float alpha) {
    double a = std::isfinite(alpha) ? std::clamp(static_cast<double>(alpha), 0.0, 1.0) : color.alpha;
    return color.withAlpha(a);
}
