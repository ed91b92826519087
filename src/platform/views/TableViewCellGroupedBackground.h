#pragma once

#include "platform/views/View.h"

namespace platform::views {

// The rounded group shape behind a grouped table's cell, plain or selected, shaped by the
// row's place in its group. It belongs to the cell it is a subview of.
class TableViewCellGroupedBackground : public View {
public:
    explicit TableViewCellGroupedBackground(bool selected);
    bool isSelectedBackground() const { return m_selected; }
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    bool m_selected;
};

} // namespace platform::views
