#include "platform/views/TableViewCellSelectedBackground.h"

#include "platform/views/DrawingHelpers.h"
#include "platform/views/TableViewCell.h"

namespace platform::views {

TableViewCellSelectedBackground::TableViewCellSelectedBackground() {
    setUserInteractionEnabled(false);
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
}

void TableViewCellSelectedBackground::drawRect(graphics::Context& context, Rect) {
    auto* cell = dynamic_cast<TableViewCell*>(superview());
    bool gray = cell && cell->selectionStyle() == TableViewCellSelectionStyle::Gray;
    fillVerticalGradient(context, bounds(), gray ? Color::white(0.85) : Color::fromHex(0x058CF5),
        gray ? Color::white(0.7) : Color::fromHex(0x015EE6));
}

} // namespace platform::views
