#pragma once

#include <memory>
#include <string>

#include "model/Vehicle.h"
#include "ui/ThemedTableViewController.h"
#include "ui/VehiclePages.h"

class VTTabBar;

// The reports page of one car: its reports in three sections (fuel, expenses, other), the
// rows named in the units of the settings, each opening its chart; the vehicle tab bar along
// the bottom.
class ReportsTabViewController : public ThemedTableViewController, public VTTabPage {
public:
    static constexpr const char* kLayoutName = "ReportsTabViewController";
    static constexpr const char* kCellIdentifier = "reports-tableview-cell";
    static constexpr double kHeaderHeight = 36;

    explicit ReportsTabViewController(const Vehicle& vehicle);

    const Vehicle& vehicle() const { return m_vehicle; }
    VTTabBar& tabBar() const { return *m_tabBar; }
    int tabBarTag() const override { return VehiclePages::kReports; }
    // The text of a row, by the current settings.
    static std::string rowTitle(platform::views::IndexPath indexPath);

    void viewDidLoad() override;
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

private:
    Vehicle m_vehicle;
    std::shared_ptr<VTTabBar> m_tabBar;
};
