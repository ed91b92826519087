#include "platform/views/TableViewCellEditControl.h"

#include "platform/graphics/Context.h"
#include "platform/views/TableView.h"

namespace platform::views {

TableViewCellEditControl::TableViewCellEditControl()
    : Control(Rect(0, 0, kWidth, 44)) {
    setOpaque(false);
    addTarget(
        [this] {
            TableViewCell* owner = cell();
            if (owner && owner->tableView())
                owner->tableView()->editControlTapped(*owner);
        },
        ControlEventTouchUpInside);
}

TableViewCell* TableViewCellEditControl::cell() const {
    return dynamic_cast<TableViewCell*>(superview());
}

void TableViewCellEditControl::drawRect(graphics::Context& context, Rect) {
    TableViewCell* owner = cell();
    Point c {17, bounds().midY()};
    bool insert = owner && owner->editingStyle() == TableViewCellEditingStyle::Insert;
    bool confirming = owner && owner->showingDeleteConfirmation();
    Rect circle(c.x - 10, c.y - 10, 20, 20);
    context.setFillColor(Color::whiteColor());
    context.fillEllipseInRect(circle);
    Color fill = insert ? Color::fromHex(0x2DB62D) : Color::fromHex(0xE0271E);
    context.setFillColor(fill);
    context.fillEllipseInRect(circle.insetBy(2, 2));
    context.setFillColor(Color::whiteColor());
    if (insert) {
        context.fillRect(Rect(c.x - 5.5, c.y - 1.5, 11, 3));
        context.fillRect(Rect(c.x - 1.5, c.y - 5.5, 3, 11));
    } else if (confirming) {
        context.fillRect(Rect(c.x - 1.5, c.y - 5.5, 3, 11));
    } else {
        context.fillRect(Rect(c.x - 5.5, c.y - 1.5, 11, 3));
    }
}

} // namespace platform::views
