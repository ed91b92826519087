#pragma once

#include "platform/graphics/Geometry.h"

namespace platform::views {

class View;
class Window;

enum class TouchPhase { Began, Moved, Ended, Cancelled };

// One finger on the screen, from down to up. The window owns it while it lasts and keeps
// the touched view alive until the touch ends.
class Touch {
public:
    Touch(Window* window, View* view, graphics::Point location)
        : m_window(window)
        , m_view(view)
        , m_location(location)
        , m_previousLocation(location)
        , m_startLocation(location) { }

    // Locations in the coordinates of `view` (none = the window).
    graphics::Point locationInView(const View* view) const;
    graphics::Point previousLocationInView(const View* view) const;
    // Where the finger went down, in window coordinates.
    graphics::Point startLocation() const { return m_startLocation; }
    graphics::Point windowLocation() const { return m_location; }

    View* view() const { return m_view; }
    Window* window() const { return m_window; }
    TouchPhase phase() const { return m_phase; }
    int tapCount() const { return m_tapCount; }
    // True once the finger moved further than a tap allows.
    bool hasMovedFar() const { return m_movedFar; }

    // The window moves the touch along.
    void setPhase(TouchPhase phase) { m_phase = phase; }
    void moveTo(graphics::Point location);
    void setView(View* view) { m_view = view; }
    void setTapCount(int count) { m_tapCount = count; }

    // How far a finger may move and still tap.
    static constexpr double kTapSlop = 8;

private:
    Window* m_window;
    View* m_view;
    graphics::Point m_location;
    graphics::Point m_previousLocation;
    graphics::Point m_startLocation;
    TouchPhase m_phase {TouchPhase::Began};
    int m_tapCount {1};
    bool m_movedFar {false};
};

} // namespace platform::views
