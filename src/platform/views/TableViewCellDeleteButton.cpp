#include "platform/views/TableViewCellDeleteButton.h"

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Label.h"
#include "platform/views/TableView.h"

namespace platform::views {

TableViewCellDeleteButton::TableViewCellDeleteButton(const std::string& title)
    : Button(ButtonType::Custom) {
    setTitle(title);
    titleLabel().setFont(graphics::Font::boldSystemFontOfSize(13));
    setTitleColor(Color::whiteColor());
    setTitleShadowColor(Color::black().withAlpha(0.4));
    titleLabel().setShadowOffset({0, -1});
    addTarget(
        [this] {
            auto* cell = dynamic_cast<TableViewCell*>(superview());
            if (cell && cell->tableView())
                cell->tableView()->deleteConfirmationTapped(*cell);
        },
        ControlEventTouchUpInside);
}

void TableViewCellDeleteButton::drawRect(graphics::Context& context, Rect) {
    Rect face = bounds().insetBy(0.5, 0.5);
    Color top = isHighlighted() ? Color::fromHex(0xB31B12) : Color::fromHex(0xE8584F);
    Color bottom = isHighlighted() ? Color::fromHex(0x8F130C) : Color::fromHex(0xC4150B);
    context.saveGState();
    addRoundedRectPath(context, face, 5);
    context.clip();
    fillVerticalGradient(context, face, top, bottom);
    context.restoreGState();
    addRoundedRectPath(context, face, 5);
    context.setStrokeColor(Color::fromHex(0x8A1009));
    context.setLineWidth(1);
    context.strokePath();
}

} // namespace platform::views
