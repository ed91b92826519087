#pragma once

#include "platform/views/View.h"

namespace platform::views {

class TableView;
class TableViewCell;

// Three grey lines at the right of a cell whose row can be moved; dragging it moves the
// row. It belongs to the cell it is a subview of.
class TableViewCellReorderControl : public View {
public:
    static constexpr double kWidth = 32;

    TableViewCellReorderControl();
    void drawRect(graphics::Context& context, Rect rect) override;
    void touchesBegan(Touch& touch) override;
    void touchesMoved(Touch& touch) override;
    void touchesEnded(Touch& touch) override;
    void touchesCancelled(Touch& touch) override;

private:
    TableView* table() const;
};

} // namespace platform::views
