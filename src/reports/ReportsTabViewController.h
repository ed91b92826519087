#pragma once

#include <memory>
#include <string>

#include "model/Vehicle.h"
#include "ui/VehiclePageViewController.h"

// The reports page of one car: its reports in three sections (fuel, expenses, other), the
// rows named in the units of the settings, each opening its chart; the vehicle tab bar along
// the bottom.
class ReportsTabViewController : public VehiclePageViewController {
public:
    static constexpr const char* kLayoutName = "ReportsTabViewController";
    static constexpr const char* kCellIdentifier = "reports-tableview-cell";
    static constexpr double kHeaderHeight = 36;

    explicit ReportsTabViewController(const Vehicle& vehicle);

    int tabBarTag() const override { return VehiclePages::kReports; }
    // The text of a row, by the current settings.
    static std::string rowTitle(platform::views::IndexPath indexPath);

    void viewWillAppear(bool animated) override;

    int numberOfSectionsInTableView(platform::views::TableView&) override;
    int numberOfRowsInSection(platform::views::TableView&, int section) override;
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    std::shared_ptr<platform::views::View> viewForHeaderInSection(
        platform::views::TableView&, int section) override;
    double heightForHeaderInSection(platform::views::TableView&, int) override { return kHeaderHeight; }
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
};
