#pragma once

#include <memory>
#include <string>

#include "platform/views/TableView.h"
#include "ui/FormEntries.h"
#include "ui/ThemedViewController.h"

// A themed screen made of one table, a list or a form: its layout lays the table over the
// themed background, filling it (above a bottom bar when the screen sets one), and the
// screen is the table's data source and delegate, held weakly by the table. A subclass
// answers the table's questions and nothing else of the set-up:
//
//     class ServiceHistoryViewController : public ThemedTableViewController {
//         ServiceHistoryViewController(const Service& service)
//             : ThemedTableViewController("ServiceHistoryViewController", TableViewStyle::Plain) { ... }
//         int numberOfRowsInSection(TableView&, int) override;
//         std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath) override;
//     };
//
// A form declares its entries in entries() (see FormEntries) and attaches their views as it
// builds its rows; the record forms do so through RecordFormViewController, and the pages of
// a car build on VehiclePageViewController. A row left selected is deselected each time the
// screen is about to appear; a value being typed is committed when the screen is about to
// disappear.
class ThemedTableViewController : public ThemedViewController,
                                  public platform::views::TableViewDataSource,
                                  public platform::views::TableViewDelegate {
public:
    // The layout registered under `layoutName`, or the standard one (registered there on
    // first use): the themed background with a table of `style` filling it.
    ThemedTableViewController(const std::string& layoutName, platform::views::TableViewStyle style);
    // A layout of the screen's own, which hands its table over with setTableView.
    ThemedTableViewController(const std::string& layoutName, const Layout& layout);
    ~ThemedTableViewController() override;

    // The table (made when the view loads).
    const std::shared_ptr<platform::views::TableView>& tableView();
    // Layouts hand the table to the screen with this.
    void setTableView(std::shared_ptr<platform::views::TableView> table);

    // Puts `bar` (a toolbar, the vehicle tab bar) along the bottom of the screen at its own
    // height and ends the table above it; both follow the screen's size.
    void setBottomBar(std::shared_ptr<platform::views::View> bar);
    const std::shared_ptr<platform::views::View>& bottomBar() const { return m_bottomBar; }

    // The text entries of a form (made on first use).
    FormEntries& entries();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    // Passes editing to the table too (always animated).
    void setEditing(bool editing, bool animated) override;

    // The layout of the standard table screen.
    static Layout tableLayout(platform::views::TableViewStyle style);

private:
    std::shared_ptr<platform::views::TableView> m_tableView;
    std::shared_ptr<platform::views::View> m_bottomBar;
    std::shared_ptr<FormEntries> m_entries;
};
