#include "ui/VTPlainCellBackgroundView.h"

#include "platform/graphics/Context.h"

using namespace platform::views;

VTPlainCellBackgroundView::VTPlainCellBackgroundView() {
    setOpaque(false);
}

VTPlainCellBackgroundView::VTPlainCellBackgroundView(Rect frame)
    : View(frame) {
    setOpaque(false);
}

void VTPlainCellBackgroundView::setStrokeColor(Color color) {
    m_strokeColor = color;
    setNeedsDisplay();
}

void VTPlainCellBackgroundView::drawRect(platform::graphics::Context& context, Rect rect) {
    context.setLineWidth(1);
    context.setStrokeColor(m_strokeColor);
    context.strokeLineSegments({{0, rect.height()}, {rect.width(), rect.height()}});
}
