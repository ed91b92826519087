#pragma once

#include <memory>

#include "ui/ThemedTableViewController.h"

// The start screen that covers the vehicle list while there is no car: four guiding rows
// (add a car, adjust settings, change theme, read the user manual). It is not on the
// navigation stack itself (its view lies over the list's), so its pushes and modal screens go
// through the navigation controller that holds the list.
class StartupViewController : public ThemedTableViewController {
public:
    static constexpr const char* kLayoutName = "StartupViewController";
    static constexpr const char* kCellIdentifier = "startup-table-cell";
    static constexpr double kRowHeight = 93;

    // Layout "StartupViewController": the table over the themed background.
    StartupViewController();

    const std::shared_ptr<platform::views::TableView>& startupTable() { return tableView(); }

    int numberOfRowsInSection(platform::views::TableView&, int) override { return 4; }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return kRowHeight;
    }
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
};
