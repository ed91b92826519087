#pragma once

#include <memory>

#include "platform/views/TableView.h"
#include "platform/views/ViewController.h"

namespace platform::views {

// A screen that is one table: the controller builds the table as its view and is its data
// source and delegate. Override the data source and delegate operations; the table is
// loaded with data the first time the screen appears, and its selection is cleared each
// time it appears again.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    explicit TableViewController(TableViewStyle style = TableViewStyle::Plain);

    TableView& tableView();
    std::shared_ptr<TableView> tableViewPointer();
    bool clearsSelectionOnViewWillAppear() const { return m_clearsSelection; }
    void setClearsSelectionOnViewWillAppear(bool clears) { m_clearsSelection = clears; }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void setEditing(bool editing, bool animated) override;

    int numberOfRowsInSection(TableView&, int section) override { return 0; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath indexPath) override;

private:
    TableViewStyle m_style;
    std::shared_ptr<TableView> m_tableView;
    bool m_clearsSelection {true};
    bool m_loadedOnce {false};
};

} // namespace platform::views
