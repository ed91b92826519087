#pragma once

#include <functional>
#include <vector>

#include "platform/views/View.h"

namespace platform::views {

// Control events (flags combine with |).
enum ControlEvent : unsigned {
    ControlEventTouchDown = 1 << 0,
    ControlEventTouchDownRepeat = 1 << 1,
    ControlEventTouchDragInside = 1 << 2,
    ControlEventTouchDragOutside = 1 << 3,
    ControlEventTouchDragEnter = 1 << 4,
    ControlEventTouchDragExit = 1 << 5,
    ControlEventTouchUpInside = 1 << 6,
    ControlEventTouchUpOutside = 1 << 7,
    ControlEventTouchCancel = 1 << 8,
    ControlEventValueChanged = 1 << 12,
    ControlEventEditingDidBegin = 1 << 16,
    ControlEventEditingChanged = 1 << 17,
    ControlEventEditingDidEnd = 1 << 18,
    ControlEventEditingDidEndOnExit = 1 << 19,
    ControlEventAllTouchEvents = 0x00000FFF,
    ControlEventAllEditingEvents = 0x000F0000,
    ControlEventAllEvents = 0xFFFFFFFF,
};

// Control states (flags; Normal is none of them).
enum ControlState : unsigned {
    ControlStateNormal = 0,
    ControlStateHighlighted = 1 << 0,
    ControlStateDisabled = 1 << 1,
    ControlStateSelected = 1 << 2,
};

enum class ControlContentHorizontalAlignment { Center, Left, Right, Fill };
enum class ControlContentVerticalAlignment { Center, Top, Bottom, Fill };

// A view that turns touches into actions: target/action per control event. A touch that
// goes down inside, stays within reach and comes up inside sends TouchUpInside.
class Control : public View {
public:
    using Action = std::function<void(Control& sender)>;
    using SimpleAction = std::function<void()>;

    Control();
    explicit Control(Rect frame);

    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted);
    unsigned state() const;
    bool isTracking() const { return m_tracking; }
    bool isTouchInside() const { return m_touchInside; }

    ControlContentHorizontalAlignment contentHorizontalAlignment() const { return m_horizontalAlignment; }
    void setContentHorizontalAlignment(ControlContentHorizontalAlignment a);
    ControlContentVerticalAlignment contentVerticalAlignment() const { return m_verticalAlignment; }
    void setContentVerticalAlignment(ControlContentVerticalAlignment a);

    // Actions run in the order they were added.
    void addTarget(Action action, unsigned events);
    void addTarget(SimpleAction action, unsigned events);
    // Drops every action registered for any of `events`.
    void removeTargets(unsigned events);
    unsigned allControlEvents() const;
    void sendActionsForControlEvents(unsigned events);

    // A disabled control takes no touches (they do not pass through to its superview).
    View* hitTest(Point point) override;
    void touchesBegan(Touch& touch) override;
    void touchesMoved(Touch& touch) override;
    void touchesEnded(Touch& touch) override;
    void touchesCancelled(Touch& touch) override;

protected:
    // Tracking hooks: the default follows the touch for the touch events.
    virtual bool beginTracking(Touch& touch) { return true; }
    virtual bool continueTracking(Touch& touch) { return true; }
    virtual void endTracking(Touch& touch) { }
    virtual void cancelTracking() { }
    // A touch that leaves the control by more than this still counts as inside.
    bool isWithinReach(Point point) const;

private:
    struct Entry {
        Action action;
        unsigned events;
    };
    std::vector<Entry> m_actions;
    bool m_enabled {true};
    bool m_selected {false};
    bool m_highlighted {false};
    bool m_tracking {false};
    bool m_touchInside {false};
    ControlContentHorizontalAlignment m_horizontalAlignment {ControlContentHorizontalAlignment::Center};
    ControlContentVerticalAlignment m_verticalAlignment {ControlContentVerticalAlignment::Center};
};

} // namespace platform::views
