#include "platform/views/Touch.h"

#include <cmath>

#include "platform/views/View.h"

namespace platform::views {

graphics::Point Touch::locationInView(const View* view) const {
    if (!view)
        return m_location;
    return view->convertPointFromView(m_location, nullptr);
}

graphics::Point Touch::previousLocationInView(const View* view) const {
    if (!view)
        return m_previousLocation;
    return view->convertPointFromView(m_previousLocation, nullptr);
}

void Touch::moveTo(graphics::Point location) {
    m_previousLocation = m_location;
    m_location = location;
    if (std::hypot(location.x - m_startLocation.x, location.y - m_startLocation.y) > kTapSlop)
        m_movedFar = true;
}

} // namespace platform::views
