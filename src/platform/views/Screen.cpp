#include "platform/views/Screen.h"

#include <algorithm>
#include <cmath>

namespace platform::views {

Screen& Screen::mainScreen() {
    static Screen screen;
    return screen;
}

void Screen::setHeight(double height) {
    m_height = std::isfinite(height) ? std::max(kMinimumHeight, std::round(height)) : kMinimumHeight;
}

} // namespace platform::views
