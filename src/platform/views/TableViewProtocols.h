#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/views/IndexPath.h"
#include "platform/views/ScrollView.h"
#include "platform/views/TableViewCell.h"

namespace platform::views {

class TableView;

// Where a table's rows come from. The three row operations are required.
//
// Rows are not editable unless canEditRowAtIndexPath says so (a data source that deletes
// rows answers true there); only editable rows get the delete control in editing mode and
// the swipe-to-delete button, and only movable rows get the reorder control.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView&) { return 1; }
    virtual int numberOfRowsInSection(TableView&, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath indexPath) = 0;
    virtual std::optional<std::string> titleForHeaderInSection(TableView&, int section) {
        return std::nullopt;
    }
    virtual std::optional<std::string> titleForFooterInSection(TableView&, int section) {
        return std::nullopt;
    }
    virtual bool canEditRowAtIndexPath(TableView&, IndexPath) { return false; }
    virtual bool canMoveRowAtIndexPath(TableView&, IndexPath) { return false; }
    // The user confirmed a deletion (or an insertion): update the model, then tell the
    // table (deleteRowsAtIndexPaths or reloadData).
    virtual void commitEditingStyle(TableView&, TableViewCellEditingStyle style, IndexPath indexPath) { }
    // The user dragged a row from one place to another; the table already shows it there.
    virtual void moveRowAtIndexPath(TableView&, IndexPath from, IndexPath to) { }
};

// What a table tells and asks its delegate. Every operation is optional; the heights
// answer TableView::kAutomaticDimension to use the table's own.
class TableViewDelegate : public ScrollViewDelegate {
public:
    virtual double heightForRowAtIndexPath(TableView&, IndexPath);
    virtual double heightForHeaderInSection(TableView&, int section);
    virtual double heightForFooterInSection(TableView&, int section);
    virtual std::shared_ptr<View> viewForHeaderInSection(TableView&, int section) { return nullptr; }
    virtual std::shared_ptr<View> viewForFooterInSection(TableView&, int section) { return nullptr; }
    virtual void willDisplayCell(TableView&, TableViewCell& cell, IndexPath indexPath) { }
    // Answer another row to select that one instead, or none to select nothing.
    virtual std::optional<IndexPath> willSelectRowAtIndexPath(TableView&, IndexPath indexPath) {
        return indexPath;
    }
    virtual void didSelectRowAtIndexPath(TableView&, IndexPath indexPath) { }
    virtual void didDeselectRowAtIndexPath(TableView&, IndexPath indexPath) { }
    virtual TableViewCellEditingStyle editingStyleForRowAtIndexPath(TableView&, IndexPath) {
        return TableViewCellEditingStyle::Delete;
    }
    virtual std::string titleForDeleteConfirmationButtonForRowAtIndexPath(TableView&, IndexPath) {
        return "Delete";
    }
    virtual bool shouldIndentWhileEditingRowAtIndexPath(TableView&, IndexPath) { return true; }
    virtual void accessoryButtonTappedForRowWithIndexPath(TableView&, IndexPath indexPath) { }
    // Swipe to delete starts and ends.
    virtual void willBeginEditingRowAtIndexPath(TableView&, IndexPath indexPath) { }
    virtual void didEndEditingRowAtIndexPath(TableView&, IndexPath indexPath) { }
    virtual IndexPath targetIndexPathForMoveFromRowAtIndexPath(
        TableView&, IndexPath from, IndexPath proposed) {
        return proposed;
    }
};

} // namespace platform::views
