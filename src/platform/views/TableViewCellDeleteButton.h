#pragma once

#include <string>

#include "platform/views/Button.h"

namespace platform::views {

// The red "Delete" button that confirms a deletion. It belongs to the cell it is a subview
// of.
class TableViewCellDeleteButton : public Button {
public:
    explicit TableViewCellDeleteButton(const std::string& title);
    void drawRect(graphics::Context& context, Rect rect) override;
};

} // namespace platform::views
