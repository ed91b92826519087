#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Vehicle.h"
#include "platform/views/Toolbar.h"
#include "ui/ThemedTableViewController.h"

class StartupViewController;

// The vehicle list, root of the navigation stack: one row per car with its picture, name,
// model line, odometer and a badge counting its services due. From here the user adds,
// reorders, deletes and opens cars (in edit mode a tapped row opens the vehicle editor) and
// reaches settings, about, help and the data backup. While there is no car the start screen
// covers the list and the Edit button is gone.
//
// The list is read afresh each time it is about to appear, so it always shows what the
// other screens saved.
class RootViewController : public ThemedTableViewController {
public:
    static constexpr const char* kLayoutName = "RootViewController";
    static constexpr const char* kCellIdentifier = "Cell";
    static constexpr int kStartupViewTag = 10000;

    // Layout "RootViewController": the table over the themed background and a toolbar with
    // the settings, add, help and about buttons.
    RootViewController();

    // The rows in display order, each with its due count.
    const std::vector<Vehicle>& vehicles() const { return m_vehicles; }
    const std::shared_ptr<platform::views::TableView>& table() { return tableView(); }
    const std::shared_ptr<platform::views::Toolbar>& toolbar() const { return m_toolbar; }
    // The start screen while it covers the list, else none.
    StartupViewController* startupController() const { return m_startupController.get(); }

    // Reads the vehicles with their due counts (the settings' thresholds) and reloads.
    void refreshView();
    // Lays the start screen over the list (and removes the Edit button), or takes it away
    // (and puts the Edit button back).
    void showStartupController(bool show);

    void addButtonPressed();
    void settingsButtonPressed();
    void aboutButtonPressed();
    void helpButtonPressed();
    // The left "Sync.png" button: the data backup screen.
    void syncButtonPressed();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return int(m_vehicles.size()); }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    bool canEditRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return true;
    }
    bool canMoveRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return true;
    }
    void commitEditingStyle(platform::views::TableView& table,
        platform::views::TableViewCellEditingStyle style, platform::views::IndexPath indexPath) override;
    void moveRowAtIndexPath(platform::views::TableView& table, platform::views::IndexPath from,
        platform::views::IndexPath to) override;
    double heightForRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

private:
    std::vector<Vehicle> m_vehicles;
    std::shared_ptr<platform::views::Toolbar> m_toolbar;
    std::shared_ptr<StartupViewController> m_startupController;
};
