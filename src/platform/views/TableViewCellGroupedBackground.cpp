#include "platform/views/TableViewCellGroupedBackground.h"

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/TableView.h"

namespace platform::views {

TableViewCellGroupedBackground::TableViewCellGroupedBackground(bool selected)
    : m_selected(selected) {
    setOpaque(false);
    setUserInteractionEnabled(false);
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
}

void TableViewCellGroupedBackground::drawRect(graphics::Context& context, Rect) {
    using Position = TableViewCell::GroupPosition;
    auto* cell = dynamic_cast<TableViewCell*>(superview());
    Position p = cell ? cell->groupPosition() : Position::Single;
    bool top = p == Position::Single || p == Position::Top;
    bool bottom = p == Position::Single || p == Position::Bottom;
    Rect r = bounds().insetBy(0.5, 0);
    r = Rect(r.x(), r.y() + (top ? 0.5 : 0), r.width(), r.height() - (top ? 0.5 : 0) - (bottom ? 0.5 : 0));
    Color separator = cell && cell->tableView() ? cell->tableView()->separatorColor() : Color::white(0.67);
    addPartlyRoundedRectPath(context, r, 10, top, bottom);
    if (m_selected) {
        bool gray = cell && cell->selectionStyle() == TableViewCellSelectionStyle::Gray;
        context.saveGState();
        context.clip();
        fillVerticalGradient(context, r, gray ? Color::white(0.85) : Color::fromHex(0x058CF5),
            gray ? Color::white(0.7) : Color::fromHex(0x015EE6));
        context.restoreGState();
    } else {
        context.setFillColor(
            cell && cell->cellBackgroundColor() ? *cell->cellBackgroundColor() : Color::whiteColor());
        context.fillPath();
    }
    addPartlyRoundedRectPath(context, r, 10, top, bottom);
    context.setStrokeColor(separator);
    context.setLineWidth(1);
    context.strokePath();
}

} // namespace platform::views
