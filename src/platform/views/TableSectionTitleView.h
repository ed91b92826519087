#pragma once

#include <string>

#include "platform/views/View.h"

namespace platform::views {

// A section title of a table that has no view of its own for it: the plain table's grey
// bar, or the grouped table's text above or below a group.
class TableSectionTitleView : public View {
public:
    TableSectionTitleView(std::string title, bool plain, bool header);

    const std::string& title() const { return m_title; }
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    std::string m_title;
    bool m_plain;
    bool m_header;
};

} // namespace platform::views
