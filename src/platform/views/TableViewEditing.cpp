#include "platform/views/TableView.h"

#include <algorithm>
#include <cmath>

#include "platform/views/Touch.h"

// The table's editing: edit mode and the delete confirmation, swipe to delete, reordering
// by the reorder control, and the touches that tell a tap from a scroll or a swipe.

namespace platform::views {

void TableView::setEditing(bool editing, bool) {
    if (m_editing == editing && !m_confirming)
        return;
    auto keep = shared_from_this();
    setConfirming(std::nullopt);
    m_editing = editing;
    ensureGeometry();
    for (auto& [ip, cell] : m_visible)
        configureCell(*cell, ip);
}

void TableView::setConfirming(std::optional<IndexPath> ip) {
    auto delegate = m_delegate.lock();
    if (m_confirming == ip)
        return;
    auto previous = m_confirming;
    bool wasSwipe = m_swipeConfirming;
    m_confirming = ip;
    if (previous) {
        if (auto it = m_visible.find(*previous); it != m_visible.end())
            it->second->setShowingDeleteConfirmation(false);
        if (wasSwipe) {
            m_swipeConfirming = false;
            // Leaving swipe-to-delete takes the row out of its one-row editing mode.
            if (auto it = m_visible.find(*previous); it != m_visible.end() && !m_editing)
                it->second->setEditingState(false, TableViewCellEditingStyle::None, false, true);
            if (delegate)
                delegate->didEndEditingRowAtIndexPath(*this, *previous);
        }
    }
    if (ip) {
        if (auto it = m_visible.find(*ip); it != m_visible.end()) {
            std::string title = delegate
                ? delegate->titleForDeleteConfirmationButtonForRowAtIndexPath(*this, *ip)
                : "Delete";
            it->second->setShowingDeleteConfirmation(true, title);
        }
    }
}

void TableView::editControlTapped(TableViewCell& cell) {
    auto dataSource = m_dataSource.lock();
    auto keep = shared_from_this();
    auto ip = indexPathForCell(&cell);
    if (!ip || !dataSource)
        return;
    if (cell.editingStyle() == TableViewCellEditingStyle::Insert) {
        dataSource->commitEditingStyle(*this, TableViewCellEditingStyle::Insert, *ip);
        return;
    }
    m_swipeConfirming = false;
    setConfirming(m_confirming == ip ? std::nullopt : ip);
}

void TableView::deleteConfirmationTapped(TableViewCell& cell) {
    auto dataSource = m_dataSource.lock();
    auto delegate = m_delegate.lock();
    auto keep = shared_from_this();
    auto ip = indexPathForCell(&cell);
    if (!ip || !dataSource)
        return;
    bool swipe = m_swipeConfirming;
    m_swipeConfirming = false;
    m_confirming.reset();
    cell.setShowingDeleteConfirmation(false);
    if (swipe && !m_editing)
        cell.setEditingState(false, TableViewCellEditingStyle::None, false, true);
    dataSource->commitEditingStyle(*this, TableViewCellEditingStyle::Delete, *ip);
    if (swipe && delegate)
        delegate->didEndEditingRowAtIndexPath(*this, *ip);
}

void TableView::accessoryTapped(TableViewCell& cell) {
    auto delegate = m_delegate.lock();
    auto keep = shared_from_this();
    auto ip = indexPathForCell(&cell);
    if (ip && delegate)
        delegate->accessoryButtonTappedForRowWithIndexPath(*this, *ip);
}

// ---- Reordering

void TableView::reorderBegan(TableViewCell& cell, Touch& touch) {
    auto ip = indexPathForCell(&cell);
    if (!ip)
        return;
    m_reorderCell = &cell;
    m_reorderKeep = std::static_pointer_cast<TableViewCell>(cell.sharedFromThis());
    m_reorderFrom = *ip;
    m_reorderTo = *ip;
    m_reorderStartY = touch.windowLocation().y;
    m_reorderCellStartY = cell.frame().y();
    bringSubviewToFront(&cell);
    cell.setAlpha(0.85);
}

void TableView::reorderMoved(Touch& touch) {
    if (!m_reorderCell)
        return;
    Rect frame = m_reorderCell->frame();
    double y = m_reorderCellStartY + touch.windowLocation().y - m_reorderStartY;
    y = std::clamp(y, m_sectionsTop, std::max(m_sectionsTop, m_sectionsBottom - frame.height()));
    m_reorderCell->setFrame(Rect(frame.x(), y, frame.width(), frame.height()));
    IndexPath target = reorderTargetAt(m_reorderCell->frame().midY());
    if (auto delegate = m_delegate.lock())
        target = delegate->targetIndexPathForMoveFromRowAtIndexPath(*this, m_reorderFrom, target);
    if (target != m_reorderTo) {
        m_reorderTo = target;
        for (auto& [path, cell] : m_visible) {
            if (cell.get() != m_reorderCell)
                cell->setFrame(reorderingFrame(path));
        }
    }
    // Keep the dragged row in view.
    scrollRectToVisible(m_reorderCell->frame(), false);
}

IndexPath TableView::reorderTargetAt(double center) const {
    const IndexPath from = m_reorderFrom;
    for (int s = 0; s < int(m_sections.size()); ++s) {
        const Section& section = m_sections[s];
        if (center < section.headerY || center >= section.end) {
            if (s == int(m_sections.size()) - 1 && center >= section.end)
                return {s, std::max(0, int(section.rowY.size()) - (s == from.section ? 1 : 0))};
            continue;
        }
        int rows = int(section.rowY.size());
        int row = 0;
        while (row < rows && center >= section.rowY[row] + section.rowHeight[row])
            ++row;
        int limit = s == from.section ? rows - 1 : rows;
        return {s, std::clamp(row, 0, std::max(0, limit))};
    }
    return from;
}

Rect TableView::reorderingFrame(IndexPath ip) const {
    Rect frame = cellFrame(ip);
    const IndexPath from = m_reorderFrom;
    const IndexPath to = m_reorderTo;
    if (from.section >= int(m_sections.size()) || from.row >= int(m_sections[from.section].rowHeight.size()))
        return frame;
    const double height = m_sections[from.section].rowHeight[from.row];
    // As if the dragged row were taken out (the rows after it close up) and put in at the
    // landing place (the rows from there on open up).
    const bool afterFrom = ip.section > from.section || (ip.section == from.section && ip.row > from.row);
    const int rowWithout = ip.section == from.section && ip.row > from.row ? ip.row - 1 : ip.row;
    const bool fromTo = ip.section > to.section || (ip.section == to.section && rowWithout >= to.row);
    frame.origin.y += (fromTo ? height : 0) - (afterFrom ? height : 0);
    return frame;
}

void TableView::reorderEnded(Touch&, bool cancelled) {
    auto dataSource = m_dataSource.lock();
    auto delegate = m_delegate.lock();
    if (!m_reorderCell)
        return;
    auto keep = shared_from_this();
    auto cell = m_reorderKeep;
    double center = m_reorderCell->frame().midY();
    m_reorderCell->setAlpha(1);
    m_reorderCell = nullptr;
    m_reorderKeep.reset();
    IndexPath from = m_reorderFrom;
    // The row under the dragged row's centre is where it goes.
    IndexPath target = reorderTargetAt(center);
    if (delegate)
        target = delegate->targetIndexPathForMoveFromRowAtIndexPath(*this, from, target);
    if (!cancelled && target != from && dataSource)
        dataSource->moveRowAtIndexPath(*this, from, target);
    m_selected.reset();
    // Put the cell back among the others before they are laid out again.
    if (cell && cell->superview() == this)
        m_visible[from] = cell;
    recycleAllCells();
    m_geometryValid = false;
    setNeedsLayout();
}

// ---- Touches

bool TableView::shouldCaptureTouch(const Touch& touch) const {
    if (m_reorderCell)
        return false;
    double dx = touch.windowLocation().x - touch.startLocation().x;
    double dy = touch.windowLocation().y - touch.startLocation().y;
    if (std::abs(dx) > std::abs(dy) && !m_editing) {
        auto* self = const_cast<TableView*>(this);
        auto ip = self->indexPathForRowAtPoint(convertPointFromView(touch.startLocation(), nullptr));
        if (ip && self->isRowEditable(*ip))
            return true;
    }
    return ScrollView::shouldCaptureTouch(touch);
}

void TableView::beginCapturedTouch(Touch& touch) {
    double dx = touch.windowLocation().x - touch.startLocation().x;
    double dy = touch.windowLocation().y - touch.startLocation().y;
    highlightRow(std::nullopt);
    if (std::abs(dx) > std::abs(dy) && !m_editing) {
        auto ip = indexPathForRowAtPoint(convertPointFromView(touch.startLocation(), nullptr));
        if (ip && isRowEditable(*ip)) {
            m_swiping = true;
            m_swipeRow = ip;
            m_swipeStartX = touch.startLocation().x;
            return;
        }
    }
    ScrollView::beginCapturedTouch(touch);
}

void TableView::touchesBegan(Touch& touch) {
    auto keep = shared_from_this();
    ScrollView::touchesBegan(touch);
    m_swiping = false;
    m_swipeRow.reset();
    m_touchRow = indexPathForRowAtPoint(touch.locationInView(this));
    bool selectable = m_allowsSelection && (!m_editing || m_allowsSelectionDuringEditing);
    if (m_touchRow && selectable && !m_confirming && !touchStoppedGlide()) {
        auto it = m_visible.find(*m_touchRow);
        if (it != m_visible.end() && it->second->selectionStyle() != TableViewCellSelectionStyle::None)
            highlightRow(m_touchRow);
    }
}

void TableView::touchesMoved(Touch& touch) {
    auto keep = shared_from_this();
    if (touch.hasMovedFar())
        highlightRow(std::nullopt);
    if (m_swiping)
        return;
    double dx = touch.windowLocation().x - touch.startLocation().x;
    double dy = touch.windowLocation().y - touch.startLocation().y;
    if (touch.hasMovedFar() && !isDragging() && !m_editing && std::abs(dx) > std::abs(dy) && m_touchRow
        && isRowEditable(*m_touchRow)) {
        m_swiping = true;
        m_swipeRow = m_touchRow;
        m_swipeStartX = touch.startLocation().x;
        return;
    }
    ScrollView::touchesMoved(touch);
}

void TableView::touchesEnded(Touch& touch) {
    auto delegate = m_delegate.lock();
    auto keep = shared_from_this();
    if (m_swiping) {
        m_swiping = false;
        ScrollView::touchesCancelled(touch);
        auto row = m_swipeRow;
        m_swipeRow.reset();
        if (!row || std::abs(touch.windowLocation().x - m_swipeStartX) < 20)
            return;
        if (m_confirming) {
            setConfirming(std::nullopt);
            return;
        }
        TableViewCellEditingStyle style = delegate ? delegate->editingStyleForRowAtIndexPath(*this, *row)
                                                   : TableViewCellEditingStyle::Delete;
        if (style != TableViewCellEditingStyle::Delete)
            return;
        if (delegate)
            delegate->willBeginEditingRowAtIndexPath(*this, *row);
        m_swipeConfirming = true;
        setConfirming(row);
        return;
    }
    ScrollView::touchesEnded(touch);
    highlightRow(std::nullopt);
}

void TableView::touchesCancelled(Touch& touch) {
    m_swiping = false;
    m_swipeRow.reset();
    highlightRow(std::nullopt);
    ScrollView::touchesCancelled(touch);
}

void TableView::didTap(Touch& touch) {
    if (m_confirming) {
        // A tap anywhere but the Delete button takes the confirmation away.
        setConfirming(std::nullopt);
        highlightRow(std::nullopt);
        return;
    }
    auto ip = indexPathForRowAtPoint(touch.locationInView(this));
    if (!ip) {
        highlightRow(std::nullopt);
        return;
    }
    if (m_editing && !m_allowsSelectionDuringEditing) {
        highlightRow(std::nullopt);
        return;
    }
    selectByUser(*ip);
}

} // namespace platform::views
