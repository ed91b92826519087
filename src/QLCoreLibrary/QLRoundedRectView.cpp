#include "QLCoreLibrary/QLRoundedRectView.h"

#include <algorithm>

#include "platform/graphics/Context.h"

using namespace platform::views;

namespace {
constexpr double kShadowMargin = 4;
}

QLRoundedRectView::QLRoundedRectView() {
    init();
}

QLRoundedRectView::QLRoundedRectView(Rect frame)
    : View(frame) {
    init();
}

void QLRoundedRectView::init() {
    setOpaque(false);
    View::setBackgroundColor(std::nullopt);
    m_cornerRadius = 0.2 * std::min(frame().width(), frame().height());
}

void QLRoundedRectView::setBackgroundColor(std::optional<Color> color) {
    if (color == m_fillColor)
        return;
    m_fillColor = color;
    setNeedsDisplay();
}

void QLRoundedRectView::setFillPattern(platform::graphics::Image pattern) {
    m_fillPattern = std::move(pattern);
    setNeedsDisplay();
}

void QLRoundedRectView::setStrokeColor(Color color) {
    m_strokeColor = color;
    setNeedsDisplay();
}

void QLRoundedRectView::setCornerRadius(double radius) {
    m_cornerRadius = radius;
    setNeedsDisplay();
}

void QLRoundedRectView::setStrokeSize(double size) {
    m_strokeSize = size;
    setNeedsDisplay();
}

void QLRoundedRectView::setDrawShadow(bool drawShadow) {
    m_drawShadow = drawShadow;
    setNeedsDisplay();
}

void QLRoundedRectView::setFrame(Rect frame) {
    View::setFrame(frame);
    setNeedsDisplay();
}

Rect QLRoundedRectView::panelRect() const {
    Rect r = bounds();
    if (m_drawShadow)
        r = r.insetBy(kShadowMargin, kShadowMargin);
    return r.insetBy(m_strokeSize, m_strokeSize);
}

double QLRoundedRectView::effectiveCornerRadius() const {
    const Rect r = panelRect();
    return std::max(0.0, std::min({m_cornerRadius, r.width() / 2, r.height() / 2}));
}

void QLRoundedRectView::drawRect(platform::graphics::Context& context, Rect) {
    const Rect r = panelRect();
    if (r.isEmpty())
        return;
    const double radius = effectiveCornerRadius();
    context.saveGState();
    // Views share the window's picture: clearing would punch through to whatever lies
    // behind (a non-opaque view starts out clear anyway).
    if (m_drawShadow)
        context.setShadow({0, 0}, 5);
    const double minX = r.minX(), midX = r.midX(), maxX = r.maxX() - 1;
    const double minY = r.minY(), midY = r.midY(), maxY = r.maxY() - 1;
    auto addPanel = [&] {
        context.beginPath();
        context.moveToPoint(minX, midY);
        context.addArcToPoint(minX, minY, midX, minY, radius);
        context.addArcToPoint(maxX, minY, maxX, midY, radius);
        context.addArcToPoint(maxX, maxY, midX, maxY, radius);
        context.addArcToPoint(minX, maxY, minX, midY, radius);
        context.closePath();
    };
    const Size tile = m_fillPattern ? m_fillPattern.size() : Size();
    if (tile.width > 0 && tile.height > 0) {
        context.saveGState();
        addPanel();
        context.clip();
        for (double y = 0; y < bounds().maxY(); y += tile.height) {
            for (double x = 0; x < bounds().maxX(); x += tile.width)
                m_fillPattern.drawInRect(context, Rect(x, y, tile.width, tile.height));
        }
        context.restoreGState();
        if (m_strokeSize > 0) {
            addPanel();
            context.setStrokeColor(m_strokeColor);
            context.setLineWidth(m_strokeSize);
            context.strokePath();
        }
        context.restoreGState();
        return;
    }
    addPanel();
    context.setFillColor(m_fillColor.value_or(Color::clear()));
    context.setStrokeColor(m_strokeColor);
    context.setLineWidth(m_strokeSize);
    // Fill and outline in one step, so the shadow falls once for both.
    context.drawPath(m_strokeSize > 0 ? platform::graphics::PathDrawingMode::FillStroke
                                      : platform::graphics::PathDrawingMode::Fill);
    context.restoreGState();
}
