#include "ui/BadgeView.h"

#include <algorithm>

#include "QLCoreLibrary/ColorExtensions.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/TextLayout.h"

using namespace platform::views;
using platform::graphics::Context;
using platform::graphics::Gradient;
using platform::graphics::GradientDrawsAfterEndLocation;
using platform::graphics::LineBreakMode;
using platform::graphics::TextAlignment;
using platform::graphics::TextLayout;

namespace {
constexpr double kShadowMargin = 4;
}

BadgeView::BadgeView() {
    init();
}

BadgeView::BadgeView(Rect frame)
    : View(frame) {
    init();
}

void BadgeView::init() {
    View::setOpaque(false);
    View::setBackgroundColor(std::nullopt);
}

void BadgeView::setText(const std::string& text) {
    if (text == m_text)
        return;
    m_text = text;
    calculateMetrics();
    setNeedsDisplay();
}

void BadgeView::setFillColor(Color color) {
    if (color == m_fillColor)
        return;
    m_fillColor = color;
    setNeedsDisplay();
}

void BadgeView::calculateMetrics() {
    const Size textSize = TextLayout::sizeWithFont(m_text, m_font);
    const double height = textSize.height;
    m_badgeBounds = Rect(0, 0, std::max(textSize.width, height) + 0.5 * height, height).integral();
    if (m_drawShadow) {
        setFrame(m_badgeBounds.insetBy(-kShadowMargin, -kShadowMargin));
        m_badgeBounds = m_badgeBounds.offsetBy(kShadowMargin, kShadowMargin);
    } else {
        setFrame(m_badgeBounds);
    }
}

void BadgeView::drawRect(Context& context, Rect rect) {
    const Rect bubble = m_badgeBounds;
    if (bubble.isEmpty())
        return;
    const double r = std::min(bubble.width(), bubble.height()) / 2;
    auto addBubblePath = [&] {
        context.beginPath();
        context.moveToPoint(bubble.minX(), bubble.midY());
        context.addArcToPoint(bubble.minX(), bubble.minY(), bubble.midX(), bubble.minY(), r);
        context.addArcToPoint(bubble.maxX(), bubble.minY(), bubble.maxX(), bubble.midY(), r);
        context.addArcToPoint(bubble.maxX(), bubble.maxY(), bubble.midX(), bubble.maxY(), r);
        context.addArcToPoint(bubble.minX(), bubble.maxY(), bubble.minX(), bubble.midY(), r);
        context.closePath();
    };

    context.saveGState();
    // Views share the window's picture: clearing would punch through to whatever lies
    // behind (a non-opaque view starts out clear anyway).
    context.setFlatness(0.1);
    if (m_drawShadow) {
        context.saveGState();
        context.setShadowWithColor({0, 0}, 5, Color::black());
        addBubblePath();
        context.setFillColor(m_fillColor);
        context.fillPath();
        context.restoreGState();
    }

    context.saveGState();
    addBubblePath();
    context.clip();
    const Color darker = shiftHue(m_fillColor, 0, -0.1, -0.3);
    context.drawLinearGradient(Gradient {{{0, m_fillColor}, {0.75, darker}}}, {0, 0}, {0, rect.height()},
        GradientDrawsAfterEndLocation);
    context.restoreGState();

    addBubblePath();
    context.setStrokeColor(Color::whiteColor());
    context.setLineWidth(2);
    context.strokePath();

    context.setFillColor(m_textColor);
    context.drawText(m_text, bubble, m_font, LineBreakMode::Clip, TextAlignment::Center);

    context.setFillColor(Color::white(1, 0.15));
    context.fillEllipseInRect({bubble.x(), bubble.y(), bubble.width(), bubble.height() / 2});
    context.restoreGState();
}
