#pragma once

#include "platform/views/Control.h"

namespace platform::views {

class TableViewCell;

// The red (delete) or green (insert) round button at the left of a cell in editing mode.
// It belongs to the cell it is a subview of.
class TableViewCellEditControl : public Control {
public:
    static constexpr double kWidth = 32;

    TableViewCellEditControl();
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    TableViewCell* cell() const;
};

} // namespace platform::views
