#include "platform/views/Control.h"

#include "platform/views/Touch.h"

namespace platform::views {

namespace {
// The phone lets a finger wander this far off a control before the touch counts as outside.
constexpr double kReach = 70;
} // namespace

Control::Control() = default;

Control::Control(Rect frame)
    : View(frame) { }

void Control::setEnabled(bool enabled) {
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        m_highlighted = false;
    setNeedsLayout();
    setNeedsDisplay();
}

void Control::setSelected(bool selected) {
    if (m_selected == selected)
        return;
    m_selected = selected;
    setNeedsLayout();
    setNeedsDisplay();
}

void Control::setHighlighted(bool highlighted) {
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    setNeedsLayout();
    setNeedsDisplay();
}

unsigned Control::state() const {
    unsigned s = ControlStateNormal;
    if (m_highlighted)
        s |= ControlStateHighlighted;
    if (!m_enabled)
        s |= ControlStateDisabled;
    if (m_selected)
        s |= ControlStateSelected;
    return s;
}

void Control::setContentHorizontalAlignment(ControlContentHorizontalAlignment a) {
    m_horizontalAlignment = a;
    setNeedsLayout();
}

void Control::setContentVerticalAlignment(ControlContentVerticalAlignment a) {
    m_verticalAlignment = a;
    setNeedsLayout();
}

void Control::addTarget(Action action, unsigned events) {
    if (action)
        m_actions.push_back({std::move(action), events});
}

void Control::addTarget(SimpleAction action, unsigned events) {
    if (action)
        m_actions.push_back({[action = std::move(action)](Control&) { action(); }, events});
}

void Control::removeTargets(unsigned events) {
    std::erase_if(m_actions, [&](const Entry& e) { return (e.events & events) != 0; });
}

unsigned Control::allControlEvents() const {
    unsigned all = 0;
    for (auto& e : m_actions)
        all |= e.events;
    return all;
}

void Control::sendActionsForControlEvents(unsigned events) {
    // An action may remove this control from the screen or change the action list.
    auto keep = weak_from_this().lock();
    auto actions = m_actions;
    for (auto& e : actions) {
        if (e.events & events)
            e.action(*this);
    }
}

View* Control::hitTest(Point point) {
    View* hit = View::hitTest(point);
    if (!hit)
        return nullptr;
    // A disabled control swallows touches on itself; its subviews (the title label) never
    // take them from it.
    if (hit != this && !dynamic_cast<Control*>(hit))
        return this;
    return hit;
}

bool Control::isWithinReach(Point point) const {
    return bounds().insetBy(-kReach, -kReach).contains(point);
}

void Control::touchesBegan(Touch& touch) {
    if (!m_enabled)
        return;
    m_tracking = beginTracking(touch);
    m_touchInside = true;
    setHighlighted(true);
    sendActionsForControlEvents(ControlEventTouchDown);
}

void Control::touchesMoved(Touch& touch) {
    if (!m_enabled || !m_tracking)
        return;
    bool inside = isWithinReach(touch.locationInView(this));
    if (inside != m_touchInside)
        sendActionsForControlEvents(inside ? ControlEventTouchDragEnter : ControlEventTouchDragExit);
    m_touchInside = inside;
    setHighlighted(inside);
    sendActionsForControlEvents(inside ? ControlEventTouchDragInside : ControlEventTouchDragOutside);
    m_tracking = continueTracking(touch);
}

void Control::touchesEnded(Touch& touch) {
    if (!m_enabled)
        return;
    bool inside = isWithinReach(touch.locationInView(this));
    bool wasTracking = m_tracking;
    m_tracking = false;
    m_touchInside = false;
    setHighlighted(false);
    endTracking(touch);
    if (!wasTracking)
        return;
    sendActionsForControlEvents(inside ? ControlEventTouchUpInside : ControlEventTouchUpOutside);
}

void Control::touchesCancelled(Touch&) {
    bool wasTracking = m_tracking;
    m_tracking = false;
    m_touchInside = false;
    setHighlighted(false);
    cancelTracking();
    if (wasTracking)
        sendActionsForControlEvents(ControlEventTouchCancel);
}

} // namespace platform::views
