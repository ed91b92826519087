#include "platform/views/Switch.h"

#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/graphics/Font.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Touch.h"

namespace platform::views {

Switch::Switch()
    : Switch(Rect(0, 0, kWidth, kHeight)) { }

Switch::Switch(Rect frame)
    : Control(Rect(frame.origin, {kWidth, kHeight})) {
    setOpaque(false);
}

void Switch::setOn(bool on, bool) {
    m_on = on;
    setNeedsDisplay();
}

bool Switch::continueTracking(Touch& touch) {
    double dx = touch.windowLocation().x - touch.startLocation().x;
    if (std::abs(dx) > Touch::kTapSlop)
        m_dragged = true;
    return true;
}

void Switch::endTracking(Touch& touch) {
    bool dragged = m_dragged;
    m_dragged = false;
    if (!isWithinReach(touch.locationInView(this)) && !dragged)
        return;
    bool on = m_on;
    if (dragged)
        on = touch.windowLocation().x > touch.startLocation().x;
    else
        on = !m_on;
    if (on == m_on)
        return;
    m_on = on;
    setNeedsDisplay();
    sendActionsForControlEvents(ControlEventValueChanged);
}

void Switch::drawRect(graphics::Context& context, Rect) {
    Rect track = bounds().insetBy(0.5, 0.5);
    double radius = 5;
    context.saveGState();
    addRoundedRectPath(context, track, radius);
    context.clip();
    if (m_on)
        fillVerticalGradient(context, track, Color::fromHex(0x1A5ED0), Color::fromHex(0x4A94F5));
    else
        fillVerticalGradient(context, track, Color::white(0.88), Color::whiteColor());
    context.restoreGState();
    addRoundedRectPath(context, track, radius);
    context.setStrokeColor(Color::white(0.55));
    context.setLineWidth(1);
    context.strokePath();

    double knobWidth = 40;
    Rect knob = m_on ? Rect(track.maxX() - knobWidth, track.y(), knobWidth, track.height())
                     : Rect(track.x(), track.y(), knobWidth, track.height());
    Rect label = m_on ? Rect(track.x(), track.y(), track.width() - knobWidth, track.height())
                      : Rect(knob.maxX(), track.y(), track.width() - knobWidth, track.height());
    graphics::Font font = graphics::Font::boldSystemFontOfSize(16);
    double lineHeight = std::ceil(font.lineHeight());
    context.setFillColor(m_on ? Color::whiteColor() : Color::white(0.45));
    context.drawText(m_on ? "ON" : "OFF",
        Rect(label.x(), std::floor(label.midY() - lineHeight / 2), label.width(), lineHeight), font,
        LineBreakMode::Clip, TextAlignment::Center);

    context.saveGState();
    addRoundedRectPath(context, knob, radius);
    context.clip();
    fillVerticalGradient(
        context, knob, isHighlighted() ? Color::white(0.8) : Color::white(0.97), Color::white(0.78));
    context.restoreGState();
    addRoundedRectPath(context, knob, radius);
    context.setStrokeColor(Color::white(0.5));
    context.strokePath();
}

} // namespace platform::views
