#include "platform/views/TableView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/graphics/Context.h"
#include "platform/views/TableSectionTitleView.h"

namespace platform::views {

double TableViewDelegate::heightForRowAtIndexPath(TableView& table, IndexPath) {
    return table.rowHeight();
}

double TableViewDelegate::heightForHeaderInSection(TableView& table, int) {
    return table.sectionHeaderHeight();
}

double TableViewDelegate::heightForFooterInSection(TableView& table, int) {
    return table.sectionFooterHeight();
}

namespace {

const size_t kMaxPooledPerIdentifier = 24;

std::function<void(const std::string&)>& updateMismatchHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

// A blank row for a data source that answers no cell.
std::shared_ptr<TableViewCell> blankCell() {
    return std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
}

} // namespace

void TableView::setUpdateMismatchHandler(std::function<void(const std::string&)> handler) {
    updateMismatchHandler() = std::move(handler);
}

TableView::TableView(Rect frame, TableViewStyle style)
    : ScrollView(frame)
    , m_style(style) {
    setBackgroundColor(
        style == TableViewStyle::Plain ? Color::whiteColor() : Color::groupTableViewBackground());
    setAlwaysBounceVertical(true);
    if (style == TableViewStyle::Grouped) {
        m_separatorColor = Color::white(0.67);
        m_sectionHeaderHeight = kAutomaticDimension;
    }
}

TableView::~TableView() {
    for (auto& [path, cell] : m_visible)
        cell->attachToTable(nullptr, cell->isGrouped(), cell->groupPosition());
}

void TableView::setDataSource(std::weak_ptr<TableViewDataSource> dataSource) {
    m_dataSource = std::move(dataSource);
    reloadData();
}

void TableView::setDelegate(std::weak_ptr<TableViewDelegate> delegate) {
    ScrollView::setDelegate(delegate);
    m_delegate = std::move(delegate);
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setRowHeight(double height) {
    m_rowHeight = height;
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setSectionHeaderHeight(double height) {
    m_sectionHeaderHeight = height;
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setSectionFooterHeight(double height) {
    m_sectionFooterHeight = height;
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setSeparatorStyle(TableViewCellSeparatorStyle style) {
    m_separatorStyle = style;
    for (auto& [path, cell] : m_visible) {
        cell->setNeedsLayout();
        cell->setNeedsDisplay();
    }
    setNeedsDisplay();
}

void TableView::setSeparatorColor(Color color) {
    m_separatorColor = color;
    setNeedsDisplay();
}

void TableView::setTableHeaderView(std::shared_ptr<View> view) {
    if (m_tableHeaderView)
        m_tableHeaderView->removeFromSuperview();
    m_tableHeaderView = std::move(view);
    if (m_tableHeaderView)
        addSubview(m_tableHeaderView);
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setTableFooterView(std::shared_ptr<View> view) {
    if (m_tableFooterView)
        m_tableFooterView->removeFromSuperview();
    m_tableFooterView = std::move(view);
    if (m_tableFooterView)
        addSubview(m_tableFooterView);
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setFrame(Rect frame) {
    bool widthChanged = frame.width() != bounds().width();
    ScrollView::setFrame(frame);
    if (widthChanged) {
        m_geometryValid = false;
        setNeedsLayout();
    }
}

// ---- Cells

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    auto it = m_reusePool.find(identifier);
    if (it == m_reusePool.end() || it->second.empty())
        return nullptr;
    auto cell = it->second.back();
    it->second.pop_back();
    cell->prepareForReuse();
    return cell;
}

void TableView::enqueue(const std::shared_ptr<TableViewCell>& cell) {
    if (cell.get() == m_reorderCell)
        return;
    cell->removeFromSuperview();
    cell->setHighlighted(false);
    cell->attachToTable(nullptr, cell->isGrouped(), cell->groupPosition());
    if (cell->reuseIdentifier().empty())
        return;
    auto& pool = m_reusePool[cell->reuseIdentifier()];
    if (pool.size() < kMaxPooledPerIdentifier)
        pool.push_back(cell);
}

void TableView::recycleAllCells() {
    auto visible = std::move(m_visible);
    m_visible.clear();
    for (auto& [path, cell] : visible)
        enqueue(cell);
    for (auto& [section, view] : m_headerViews)
        view->removeFromSuperview();
    for (auto& [section, view] : m_footerViews)
        view->removeFromSuperview();
    m_headerViews.clear();
    m_footerViews.clear();
    m_highlighted.reset();
}

bool TableView::isRowEditable(IndexPath ip) {
    auto dataSource = m_dataSource.lock();
    return dataSource && dataSource->canEditRowAtIndexPath(*this, ip);
}

void TableView::configureCell(TableViewCell& cell, IndexPath ip) {
    auto dataSource = m_dataSource.lock();
    auto delegate = m_delegate.lock();
    using Position = TableViewCell::GroupPosition;
    int rows = int(m_sections[ip.section].rowY.size());
    Position position = rows == 1 ? Position::Single
        : ip.row == 0             ? Position::Top
        : ip.row == rows - 1      ? Position::Bottom
                                  : Position::Middle;
    cell.attachToTable(this, m_style == TableViewStyle::Grouped, position);
    bool editable = isRowEditable(ip);
    TableViewCellEditingStyle style = TableViewCellEditingStyle::None;
    if (m_editing && editable)
        style = delegate ? delegate->editingStyleForRowAtIndexPath(*this, ip)
                         : TableViewCellEditingStyle::Delete;
    bool movable = m_editing && dataSource && dataSource->canMoveRowAtIndexPath(*this, ip);
    bool indent = !delegate || delegate->shouldIndentWhileEditingRowAtIndexPath(*this, ip);
    cell.setEditingState(m_editing, style, movable, indent);
    bool confirming = m_confirming == ip;
    if (confirming != cell.showingDeleteConfirmation()) {
        std::string title
            = delegate ? delegate->titleForDeleteConfirmationButtonForRowAtIndexPath(*this, ip) : "Delete";
        cell.setShowingDeleteConfirmation(confirming, title);
    }
    cell.setSelected(m_selected == ip);
    cell.setHighlighted(m_highlighted == ip);
}

void TableView::layoutSubviews() {
    if (m_inLayout)
        return;
    m_inLayout = true;
    auto keep = shared_from_this();
    ensureGeometry();
    if (m_tableHeaderView)
        m_tableHeaderView->setFrame(Rect(0, 0, bounds().width(), m_tableHeaderView->frame().height()));
    if (m_tableFooterView)
        m_tableFooterView->setFrame(
            Rect(0, m_sectionsBottom, bounds().width(), m_tableFooterView->frame().height()));
    layoutCells();
    layoutSectionViews();
    m_inLayout = false;
}

void TableView::layoutCells() {
    auto dataSource = m_dataSource.lock();
    auto delegate = m_delegate.lock();
    Rect visible = bounds();
    std::map<IndexPath, std::shared_ptr<TableViewCell>> keepVisible;
    std::vector<std::pair<IndexPath, std::shared_ptr<TableViewCell>>> created;
    for (int s = 0; s < int(m_sections.size()); ++s) {
        const Section& section = m_sections[s];
        if (section.end <= visible.minY() || section.headerY >= visible.maxY())
            continue;
        auto first = std::upper_bound(section.rowY.begin(), section.rowY.end(), visible.minY());
        int r = std::max(0, int(first - section.rowY.begin()) - 1);
        for (; r < int(section.rowY.size()) && section.rowY[r] < visible.maxY(); ++r) {
            IndexPath ip {s, r};
            if (section.rowY[r] + section.rowHeight[r] <= visible.minY())
                continue;
            auto it = m_visible.find(ip);
            if (it != m_visible.end()) {
                keepVisible[ip] = it->second;
                m_visible.erase(it);
                continue;
            }
            keepVisible[ip] = nullptr;
        }
    }
    // Rows that left the view go back to the pool before new ones are asked for, so the
    // data source can reuse them at once.
    for (auto& [path, cell] : m_visible)
        enqueue(cell);
    m_visible.clear();
    for (auto& [ip, cell] : keepVisible) {
        if (!cell) {
            cell = dataSource ? dataSource->cellForRowAtIndexPath(*this, ip) : nullptr;
            if (!cell)
                cell = blankCell();
            configureCell(*cell, ip);
            created.emplace_back(ip, cell);
        }
        if (cell.get() != m_reorderCell)
            cell->setFrame(m_reorderCell ? reorderingFrame(ip) : cellFrame(ip));
        if (cell->superview() != this)
            insertSubview(cell, 0);
    }
    m_visible = std::move(keepVisible);
    for (auto& [ip, cell] : created) {
        if (delegate)
            delegate->willDisplayCell(*this, *cell, ip);
    }
}

std::shared_ptr<View> TableView::makeSectionView(int section, bool header) {
    auto delegate = m_delegate.lock();
    std::shared_ptr<View> view;
    if (delegate)
        view = header ? delegate->viewForHeaderInSection(*this, section)
                      : delegate->viewForFooterInSection(*this, section);
    if (view)
        return view;
    const Section& s = m_sections[section];
    const auto& title = header ? s.headerTitle : s.footerTitle;
    if (!title || title->empty())
        return nullptr;
    return std::make_shared<TableSectionTitleView>(*title, m_style == TableViewStyle::Plain, header);
}

void TableView::layoutSectionViews() {
    Rect visible = bounds();
    double width = visible.width();
    bool plain = m_style == TableViewStyle::Plain;
    for (int pass = 0; pass < 2; ++pass) {
        bool header = pass == 0;
        auto& views = header ? m_headerViews : m_footerViews;
        std::map<int, std::shared_ptr<View>> shown;
        for (int s = 0; s < int(m_sections.size()); ++s) {
            const Section& section = m_sections[s];
            double y = header ? section.headerY : section.footerY;
            double height = header ? section.headerHeight : section.footerHeight;
            if (height <= 0)
                continue;
            // Plain headers float at the top while their section is in view.
            if (header && plain && visible.minY() > y)
                y = std::min(visible.minY(), section.end - height);
            if (y + height <= visible.minY() || y >= visible.maxY())
                continue;
            std::shared_ptr<View> view;
            if (auto it = views.find(s); it != views.end()) {
                view = it->second;
                views.erase(it);
            } else {
                view = makeSectionView(s, header);
            }
            if (!view)
                continue;
            view->setFrame(Rect(0, y, width, height));
            if (view->superview() != this)
                addSubview(view);
            else if (plain && header)
                bringSubviewToFront(view.get());
            shown[s] = view;
        }
        for (auto& [s, view] : views)
            view->removeFromSuperview();
        views = std::move(shown);
    }
}

TableViewCell* TableView::cellForRowAtIndexPath(IndexPath ip) {
    layoutIfNeeded();
    auto it = m_visible.find(ip);
    return it == m_visible.end() ? nullptr : it->second.get();
}

std::vector<TableViewCell*> TableView::visibleCells() {
    layoutIfNeeded();
    std::vector<TableViewCell*> cells;
    for (auto& [ip, cell] : m_visible)
        cells.push_back(cell.get());
    return cells;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() {
    layoutIfNeeded();
    std::vector<IndexPath> paths;
    for (auto& [ip, cell] : m_visible)
        paths.push_back(ip);
    return paths;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell* cell) {
    for (auto& [ip, visible] : m_visible) {
        if (visible.get() == cell)
            return ip;
    }
    if (cell && cell == m_reorderCell)
        return m_reorderFrom;
    return std::nullopt;
}

View* TableView::headerViewForSection(int section) {
    layoutIfNeeded();
    auto it = m_headerViews.find(section);
    return it == m_headerViews.end() ? nullptr : it->second.get();
}

View* TableView::footerViewForSection(int section) {
    layoutIfNeeded();
    auto it = m_footerViews.find(section);
    return it == m_footerViews.end() ? nullptr : it->second.get();
}

// ---- Changes

void TableView::reloadData() {
    recycleAllCells();
    m_selected.reset();
    m_confirming.reset();
    m_swipeConfirming = false;
    m_geometryValid = false;
    m_countsBeforeUpdate.clear();
    setNeedsLayout();
}

void TableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation) {
    for (const IndexPath& ip : indexPaths) {
        auto it = m_visible.find(ip);
        if (it == m_visible.end())
            continue;
        auto cell = it->second;
        m_visible.erase(it);
        enqueue(cell);
    }
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::reloadSections(const std::vector<int>& sections, TableViewRowAnimation) {
    std::vector<IndexPath> paths;
    for (auto& [ip, cell] : m_visible) {
        if (std::find(sections.begin(), sections.end(), ip.section) != sections.end())
            paths.push_back(ip);
    }
    reloadRowsAtIndexPaths(paths, TableViewRowAnimation::None);
    for (int s : sections) {
        if (auto it = m_headerViews.find(s); it != m_headerViews.end()) {
            it->second->removeFromSuperview();
            m_headerViews.erase(it);
        }
        if (auto it = m_footerViews.find(s); it != m_footerViews.end()) {
            it->second->removeFromSuperview();
            m_footerViews.erase(it);
        }
    }
}

void TableView::beginUpdates() {
    if (m_updateDepth++ == 0) {
        m_countsBeforeUpdate.clear();
        if (m_geometryValid) {
            for (auto& s : m_sections)
                m_countsBeforeUpdate.push_back(int(s.rowY.size()));
        }
    }
}

void TableView::endUpdates() {
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0) {
        recycleAllCells();
        m_confirming.reset();
        m_geometryValid = false;
        setNeedsLayout();
    }
}

void TableView::checkedUpdate(int expectedRowDelta, const std::vector<int>& sections) {
    auto dataSource = m_dataSource.lock();
    // The model must already show the change; a mismatch would crash the phone. Here
    // the table reloads everything instead and says so.
    if (m_updateDepth == 0 && m_geometryValid && dataSource) {
        int before = 0, after = 0;
        for (int s : sections) {
            if (s >= 0 && s < int(m_sections.size()))
                before += int(m_sections[s].rowY.size());
            if (s >= 0 && s < dataSource->numberOfSectionsInTableView(*this))
                after += dataSource->numberOfRowsInSection(*this, s);
        }
        if (after != before + expectedRowDelta) {
            char message[160];
            std::snprintf(message, sizeof message,
                "TableView: row counts after an update (%d) differ from before (%d) %+d; reloading", after,
                before, expectedRowDelta);
            std::fprintf(stderr, "%s\n", message);
            if (updateMismatchHandler())
                updateMismatchHandler()(message);
            reloadData();
            return;
        }
    }
    if (m_updateDepth > 0)
        return;
    recycleAllCells();
    m_confirming.reset();
    m_swipeConfirming = false;
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation) {
    std::vector<int> sections;
    for (const IndexPath& ip : indexPaths) {
        if (std::find(sections.begin(), sections.end(), ip.section) == sections.end())
            sections.push_back(ip.section);
        if (m_selected && m_selected->section == ip.section && m_selected->row >= ip.row)
            ++m_selected->row;
    }
    checkedUpdate(int(indexPaths.size()), sections);
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation) {
    std::vector<int> sections;
    for (const IndexPath& ip : indexPaths) {
        if (std::find(sections.begin(), sections.end(), ip.section) == sections.end())
            sections.push_back(ip.section);
    }
    if (m_selected) {
        int shift = 0;
        bool removed = false;
        for (const IndexPath& ip : indexPaths) {
            if (ip == *m_selected)
                removed = true;
            else if (ip.section == m_selected->section && ip.row < m_selected->row)
                ++shift;
        }
        if (removed)
            m_selected.reset();
        else
            m_selected->row -= shift;
    }
    checkedUpdate(-int(indexPaths.size()), sections);
}

void TableView::insertSections(const std::vector<int>&, TableViewRowAnimation) {
    reloadData();
}

void TableView::deleteSections(const std::vector<int>&, TableViewRowAnimation) {
    reloadData();
}

// ---- Selection and editing

void TableView::highlightRow(std::optional<IndexPath> ip) {
    if (m_highlighted == ip)
        return;
    if (m_highlighted) {
        if (auto it = m_visible.find(*m_highlighted); it != m_visible.end())
            it->second->setHighlighted(false);
    }
    m_highlighted = ip;
    if (ip) {
        if (auto it = m_visible.find(*ip); it != m_visible.end())
            it->second->setHighlighted(true);
    }
}

void TableView::selectRowAtIndexPath(std::optional<IndexPath> ip, bool, TableViewScrollPosition position) {
    ensureGeometry();
    if (m_selected) {
        if (auto it = m_visible.find(*m_selected); it != m_visible.end())
            it->second->setSelected(false);
    }
    m_selected.reset();
    if (!ip || !valid(*ip))
        return;
    m_selected = ip;
    if (auto it = m_visible.find(*ip); it != m_visible.end())
        it->second->setSelected(true);
    if (position != TableViewScrollPosition::None)
        scrollToRowAtIndexPath(*ip, position, false);
}

void TableView::deselectRowAtIndexPath(IndexPath ip, bool) {
    if (m_selected != ip)
        return;
    m_selected.reset();
    if (auto it = m_visible.find(ip); it != m_visible.end())
        it->second->setSelected(false);
}

void TableView::scrollToRowAtIndexPath(IndexPath ip, TableViewScrollPosition position, bool animated) {
    ensureGeometry();
    if (!valid(ip))
        return;
    Rect row = rectForRowAtIndexPath(ip);
    Rect b = bounds();
    Point offset = b.origin;
    switch (position) {
    case TableViewScrollPosition::Top:
        offset.y = row.minY();
        break;
    case TableViewScrollPosition::Middle:
        offset.y = row.midY() - b.height() / 2;
        break;
    case TableViewScrollPosition::Bottom:
        offset.y = row.maxY() - b.height();
        break;
    case TableViewScrollPosition::None:
        scrollRectToVisible(row, animated);
        return;
    }
    setContentOffset(clampedOffset(offset), animated);
}

void TableView::selectByUser(IndexPath ip) {
    auto delegate = m_delegate.lock();
    if (!m_allowsSelection || !valid(ip)) {
        highlightRow(std::nullopt);
        return;
    }
    std::optional<IndexPath> target = delegate ? delegate->willSelectRowAtIndexPath(*this, ip) : ip;
    if (!target || !valid(*target)) {
        highlightRow(std::nullopt);
        return;
    }
    if (m_selected && *m_selected != *target) {
        IndexPath old = *m_selected;
        deselectRowAtIndexPath(old, false);
        if (delegate)
            delegate->didDeselectRowAtIndexPath(*this, old);
    }
    m_selected = target;
    if (auto it = m_visible.find(*target); it != m_visible.end())
        it->second->setSelected(true);
    highlightRow(std::nullopt);
    if (delegate)
        delegate->didSelectRowAtIndexPath(*this, *target);
}

// ---- Drawing

void TableView::drawRect(graphics::Context& context, Rect rect) {
    if (m_style != TableViewStyle::Plain || m_separatorStyle == TableViewCellSeparatorStyle::None
        || m_tableFooterView)
        return;
    // Empty rows below the last one still show their separators.
    double y = m_sectionsBottom > m_sectionsTop ? m_sectionsBottom : m_sectionsTop;
    double step = m_rowHeight > 0 ? m_rowHeight : 44;
    context.setFillColor(m_separatorColor);
    for (y += step; y - 1 < rect.maxY(); y += step) {
        if (y >= rect.minY())
            context.fillRect(Rect(rect.minX(), y - 1, rect.width(), 1));
    }
}

} // namespace platform::views
