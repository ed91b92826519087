#include "platform/views/TableViewCellReorderControl.h"

#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/TableView.h"

namespace platform::views {

TableViewCellReorderControl::TableViewCellReorderControl()
    : View(Rect(0, 0, kWidth, 44)) {
    setOpaque(false);
}

TableView* TableViewCellReorderControl::table() const {
    auto* cell = dynamic_cast<TableViewCell*>(superview());
    return cell ? cell->tableView() : nullptr;
}

void TableViewCellReorderControl::drawRect(graphics::Context& context, Rect) {
    context.setFillColor(Color::white(0.55));
    double y = bounds().midY();
    for (int i = -1; i <= 1; ++i)
        context.fillRect(Rect(8, std::floor(y + i * 5 - 1), 16, 2));
}

void TableViewCellReorderControl::touchesBegan(Touch& touch) {
    if (TableView* owner = table())
        owner->reorderBegan(*static_cast<TableViewCell*>(superview()), touch);
}

void TableViewCellReorderControl::touchesMoved(Touch& touch) {
    if (TableView* owner = table())
        owner->reorderMoved(touch);
}

void TableViewCellReorderControl::touchesEnded(Touch& touch) {
    if (TableView* owner = table())
        owner->reorderEnded(touch, false);
}

void TableViewCellReorderControl::touchesCancelled(Touch& touch) {
    if (TableView* owner = table())
        owner->reorderEnded(touch, true);
}

} // namespace platform::views
