#include "platform/views/ActivityIndicatorView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/graphics/Context.h"

namespace platform::views {

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorViewStyle style)
    : m_style(style) {
    setOpaque(false);
    setUserInteractionEnabled(false);
    setStyle(style);
    setHidden(true);
}

void ActivityIndicatorView::setStyle(ActivityIndicatorViewStyle style) {
    m_style = style;
    double size = style == ActivityIndicatorViewStyle::WhiteLarge ? 37 : 20;
    setFrame(Rect(frame().origin, {size, size}));
    setNeedsDisplay();
}

void ActivityIndicatorView::startAnimating() {
    m_animating = true;
    setHidden(false);
}

void ActivityIndicatorView::stopAnimating() {
    m_animating = false;
    if (m_hidesWhenStopped)
        setHidden(true);
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides) {
    m_hidesWhenStopped = hides;
    setHidden(hides && !m_animating);
}

void ActivityIndicatorView::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    Point c = b.center();
    double outer = std::min(b.width(), b.height()) / 2;
    double inner = outer * 0.45;
    Color ink = m_style == ActivityIndicatorViewStyle::Gray ? Color::white(0.4) : Color::whiteColor();
    context.saveGState();
    context.setLineWidth(outer * 0.22);
    context.setLineCap(graphics::LineCap::Round);
    for (int i = 0; i < 12; ++i) {
        double a = -std::numbers::pi / 2 + i * std::numbers::pi / 6;
        context.setStrokeColor(ink.withAlpha(m_animating ? 0.2 + 0.8 * i / 11.0 : 0.5));
        context.strokeLineSegments({{c.x + inner * std::cos(a), c.y + inner * std::sin(a)},
            {c.x + (outer - 2) * std::cos(a), c.y + (outer - 2) * std::sin(a)}});
    }
    context.restoreGState();
}

} // namespace platform::views
