#include "platform/views/TableView.h"

#include <algorithm>

#include "platform/graphics/Font.h"
#include "platform/graphics/TextLayout.h"

// The table's geometry: where each section's header, rows and footer lie, from the data
// source's counts and the delegate's heights, and the rectangles and rows asked of it.

namespace platform::views {

using graphics::Font;

namespace {

constexpr double kGroupedInset = 10;

} // namespace

void TableView::buildGeometry() {
    auto dataSource = m_dataSource.lock();
    auto delegate = m_delegate.lock();
    m_geometryValid = true;
    m_sections.clear();
    double width = bounds().width();
    double y = 0;
    if (m_tableHeaderView)
        y += m_tableHeaderView->frame().height();
    m_sectionsTop = y;
    int count = dataSource ? std::max(0, dataSource->numberOfSectionsInTableView(*this)) : 0;
    bool grouped = m_style == TableViewStyle::Grouped;
    for (int s = 0; s < count; ++s) {
        Section section;
        section.headerTitle = dataSource->titleForHeaderInSection(*this, s);
        section.footerTitle = dataSource->titleForFooterInSection(*this, s);
        double header = delegate ? delegate->heightForHeaderInSection(*this, s) : m_sectionHeaderHeight;
        if (header < 0) {
            bool hasTitle = section.headerTitle && !section.headerTitle->empty();
            std::shared_ptr<View> view = delegate ? delegate->viewForHeaderInSection(*this, s) : nullptr;
            if (view)
                header = view->frame().height() > 0 ? view->frame().height() : (grouped ? 36 : 22);
            else if (hasTitle)
                header = grouped ? 36 + (s == 0 ? 10 : 0) : 22;
            else
                header = grouped ? 10 : 0;
        }
        section.headerY = y;
        section.headerHeight = header;
        y += header;
        int rows = std::max(0, dataSource->numberOfRowsInSection(*this, s));
        for (int r = 0; r < rows; ++r) {
            double h = delegate ? delegate->heightForRowAtIndexPath(*this, {s, r}) : m_rowHeight;
            if (h < 0)
                h = m_rowHeight;
            section.rowY.push_back(y);
            section.rowHeight.push_back(h);
            y += h;
        }
        double footer = delegate ? delegate->heightForFooterInSection(*this, s) : m_sectionFooterHeight;
        if (footer < 0) {
            bool hasTitle = section.footerTitle && !section.footerTitle->empty();
            std::shared_ptr<View> view = delegate ? delegate->viewForFooterInSection(*this, s) : nullptr;
            if (view)
                footer = view->frame().height() > 0 ? view->frame().height() : (grouped ? 36 : 22);
            else if (hasTitle && grouped)
                footer = graphics::TextLayout::sizeWithFont(*section.footerTitle, Font::systemFontOfSize(15),
                             Size {width - 40, 0}, LineBreakMode::WordWrap)
                             .height
                    + 16;
            else if (hasTitle)
                footer = 22;
            else
                footer = grouped ? 10 : 0;
        }
        section.footerY = y;
        section.footerHeight = footer;
        y += footer;
        section.end = y;
        m_sections.push_back(std::move(section));
    }
    m_sectionsBottom = y;
    if (m_tableFooterView)
        y += m_tableFooterView->frame().height();
    ScrollView::setContentSize({width, y});
    // Content that shrank must not leave the view scrolled past its end.
    Point offset = contentOffset();
    Point clamped = clampedOffset(offset);
    if (!isDragging() && clamped != offset)
        setContentOffset(clamped);
}

void TableView::ensureGeometry() {
    if (!m_geometryValid)
        buildGeometry();
}

int TableView::numberOfSections() {
    ensureGeometry();
    return int(m_sections.size());
}

int TableView::numberOfRowsInSection(int section) {
    ensureGeometry();
    if (section < 0 || section >= int(m_sections.size()))
        return 0;
    return int(m_sections[section].rowY.size());
}

bool TableView::valid(IndexPath ip) const {
    return ip.section >= 0 && ip.section < int(m_sections.size()) && ip.row >= 0
        && ip.row < int(m_sections[ip.section].rowY.size());
}

Rect TableView::cellFrame(IndexPath ip) const {
    const Section& s = m_sections[ip.section];
    double width = bounds().width();
    if (m_style == TableViewStyle::Grouped)
        return Rect(kGroupedInset, s.rowY[ip.row], width - 2 * kGroupedInset, s.rowHeight[ip.row]);
    return Rect(0, s.rowY[ip.row], width, s.rowHeight[ip.row]);
}

Rect TableView::rectForRowAtIndexPath(IndexPath ip) {
    ensureGeometry();
    if (!valid(ip))
        return Rect();
    const Section& s = m_sections[ip.section];
    return Rect(0, s.rowY[ip.row], bounds().width(), s.rowHeight[ip.row]);
}

Rect TableView::rectForSection(int section) {
    ensureGeometry();
    if (section < 0 || section >= int(m_sections.size()))
        return Rect();
    const Section& s = m_sections[section];
    return Rect(0, s.headerY, bounds().width(), s.end - s.headerY);
}

Rect TableView::rectForHeaderInSection(int section) {
    ensureGeometry();
    if (section < 0 || section >= int(m_sections.size()))
        return Rect();
    const Section& s = m_sections[section];
    return Rect(0, s.headerY, bounds().width(), s.headerHeight);
}

Rect TableView::rectForFooterInSection(int section) {
    ensureGeometry();
    if (section < 0 || section >= int(m_sections.size()))
        return Rect();
    const Section& s = m_sections[section];
    return Rect(0, s.footerY, bounds().width(), s.footerHeight);
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(Point point) {
    ensureGeometry();
    for (int s = 0; s < int(m_sections.size()); ++s) {
        const Section& section = m_sections[s];
        if (point.y < section.headerY || point.y >= section.end)
            continue;
        auto it = std::upper_bound(section.rowY.begin(), section.rowY.end(), point.y);
        if (it == section.rowY.begin())
            return std::nullopt;
        int r = int(it - section.rowY.begin()) - 1;
        if (point.y < section.rowY[r] + section.rowHeight[r])
            return IndexPath {s, r};
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace platform::views
