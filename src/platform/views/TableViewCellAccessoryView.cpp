#include "platform/views/TableViewCellAccessoryView.h"

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"

namespace platform::views {

namespace {

constexpr Color kDetailBlue = Color::rgba(0.22, 0.33, 0.53);

} // namespace

TableViewCellAccessoryView::TableViewCellAccessoryView(TableViewCellAccessoryType type)
    : View(Rect(0, 0, 20, 20))
    , m_type(type) {
    setOpaque(false);
    setUserInteractionEnabled(false);
}

void TableViewCellAccessoryView::setHighlighted(bool highlighted) {
    m_highlighted = highlighted;
    setNeedsDisplay();
}

void TableViewCellAccessoryView::drawRect(graphics::Context& context, Rect) {
    Point c = bounds().center();
    if (m_type == TableViewCellAccessoryType::DisclosureIndicator) {
        strokeChevron(context, c, 4.5, m_highlighted ? Color::whiteColor() : Color::white(0.5), 3);
    } else if (m_type == TableViewCellAccessoryType::Checkmark) {
        context.saveGState();
        context.setStrokeColor(m_highlighted ? Color::whiteColor() : kDetailBlue);
        context.setLineWidth(3);
        context.setLineCap(graphics::LineCap::Round);
        context.setLineJoin(graphics::LineJoin::Round);
        context.beginPath();
        context.moveToPoint(c.x - 6, c.y);
        context.addLineToPoint(c.x - 2, c.y + 5);
        context.addLineToPoint(c.x + 6, c.y - 7);
        context.strokePath();
        context.restoreGState();
    }
}

} // namespace platform::views
