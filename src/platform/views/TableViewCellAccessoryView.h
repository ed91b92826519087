#pragma once

#include "platform/views/TableViewCell.h"

namespace platform::views {

// The drawn accessory of a cell: the disclosure chevron or the checkmark, white while the
// row is lit.
class TableViewCellAccessoryView : public View {
public:
    explicit TableViewCellAccessoryView(TableViewCellAccessoryType type);
    void setHighlighted(bool highlighted);
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    TableViewCellAccessoryType m_type;
    bool m_highlighted {false};
};

} // namespace platform::views
