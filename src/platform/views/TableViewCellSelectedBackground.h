#pragma once

#include "platform/views/View.h"

namespace platform::views {

// A plain table's selection: a blue (or grey) gradient over the whole row. It belongs to
// the cell it is a subview of.
class TableViewCellSelectedBackground : public View {
public:
    TableViewCellSelectedBackground();
    void drawRect(graphics::Context& context, Rect rect) override;
};

} // namespace platform::views
