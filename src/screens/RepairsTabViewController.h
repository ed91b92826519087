#pragma once

#include <memory>
#include <vector>

#include "model/Repair.h"
#include "model/Vehicle.h"
#include "ui/VehiclePageViewController.h"

// The repairs of one car, in the store's order (newest first), with the vehicle tab bar
// along the bottom. Add (or the invitation shown while there are none) records a repair, a
// row opens its repair for correction, and a swipe deletes one. The list is read afresh each
// time the screen is about to appear.
class RepairsTabViewController : public VehiclePageViewController {
public:
    static constexpr const char* kLayoutName = "RepairsTabViewController";
    static constexpr const char* kCellIdentifier = "repair-history-cell";
    static constexpr const char* kPlaceholderIdentifier = "empty-history-cell";
    static constexpr double kRowHeight = 64;
    static constexpr double kPlaceholderHeight = 80;

    explicit RepairsTabViewController(Vehicle vehicle);

    const std::vector<Repair>& history() const { return m_history; }

    // Opens the record-repair form on a new repair of this car.
    void addNew();

    int tabBarTag() const override { return VehiclePages::kRepairs; }

    void viewDidLoad() override;

    int numberOfRowsInSection(platform::views::TableView&, int) override;
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override;
    bool canEditRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return !m_history.empty();
    }
    void commitEditingStyle(platform::views::TableView& table,
        platform::views::TableViewCellEditingStyle style, platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

private:
    void reloadPage() override;

    std::vector<Repair> m_history;
};
