#pragma once

#include "platform/graphics/Geometry.h"

namespace platform::views {

// The phone's display, in points: always 320 wide in portrait; its height is the display's
// own, 480 unless the host gives another (never less). Layouts read their metrics here and
// follow size changes through bounds and autoresizing, so that a taller display shows more
// rows instead of leaving bands.
class Screen {
public:
    static constexpr double kWidth = 320;
    static constexpr double kMinimumHeight = 480;
    // The tallest phone shape there is, with room to spare (2.5 : 1).
    static constexpr double kMaximumHeight = 800;
    static constexpr double kStatusBarHeight = 20;
    static constexpr double kNavigationBarHeight = 44;
    static constexpr double kToolbarHeight = 44;
    static constexpr double kKeyboardHeight = 216;

    static Screen& mainScreen();

    double width() const { return kWidth; }
    // Portrait height.
    double height() const { return m_height; }
    // Heights are whole points from kMinimumHeight to kMaximumHeight. Windows made afterwards
    // take the new size; the host resizes the key window itself (Window::screenDidResize).
    void setHeight(double height);
    // The portrait height that fills a display of that shape (any unit, width across the
    // upright phone) at 320 points wide: as tall as it allows, within the limits above.
    static double heightFitting(double displayWidth, double displayHeight);

    // Portrait bounds, (0, 0, 320, height).
    graphics::Rect bounds() const { return {0, 0, kWidth, m_height}; }
    // The size on its side: height wide, 320 high.
    graphics::Size landscapeSize() const { return {m_height, kWidth}; }
    // Below the status bar.
    graphics::Rect applicationFrame() const {
        return {0, kStatusBarHeight, kWidth, m_height - kStatusBarHeight};
    }
    // The view of a screen on a navigation stack: below the status and navigation bars.
    graphics::Rect contentBounds() const {
        return {0, 0, kWidth, m_height - kStatusBarHeight - kNavigationBarHeight};
    }

private:
    double m_height {kMinimumHeight};
};

} // namespace platform::views
