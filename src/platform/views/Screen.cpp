#include "platform/views/Screen.h"

#include <algorithm>
#include <cmath>

namespace platform::views {

Screen& Screen::mainScreen() {
    static Screen screen;
    return screen;
}

void Screen::setHeight(double height) {
    m_height = std::isfinite(height) ? std::clamp(std::round(height), kMinimumHeight, kMaximumHeight)
                                     : kMinimumHeight;
}

double Screen::heightFitting(double displayWidth, double displayHeight) {
    if (!(displayWidth > 0) || !(displayHeight > 0) || !std::isfinite(displayWidth / displayHeight))
        return kMinimumHeight;
    // Rounded down, so that the screen never needs more room than the display has.
    return std::clamp(
        std::floor(kWidth * displayHeight / displayWidth + 1e-9), kMinimumHeight, kMaximumHeight);
}

} // namespace platform::views
