#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Fillup.h"
#include "model/Vehicle.h"
#include "ui/VehiclePageViewController.h"

// The fill-ups of one car, newest first, in the units of the settings: each row shows the
// date, what was bought, the total cost and the economy and consumption of the tank the
// fill-up began, with the vehicle tab bar along the bottom. Add (or the invitation shown
// while there are none) records a fill-up, a row opens its fill-up for correction, and a
// swipe deletes one. The history is read afresh each time the screen is about to appear and
// after every deletion, since removing a fill-up changes the tanks around it.
class FuelTabViewController : public VehiclePageViewController {
public:
    static constexpr const char* kLayoutName = "FuelTabViewController";
    static constexpr const char* kCellIdentifier = "fillup-history-cell";
    static constexpr const char* kPlaceholderIdentifier = "empty-history-cell";
    static constexpr double kRowHeight = 64;
    static constexpr double kPlaceholderHeight = 80;
    static constexpr const char* kInvalidOdometer = "Invalid odometer reading.";

    explicit FuelTabViewController(Vehicle vehicle);

    // Oldest first, as the store answers them.
    const std::vector<Fillup>& history() const { return m_history; }
    // The fill-up shown on `row` (the newest on row 0).
    const Fillup& fillupAtRow(int row) const;

    // The bottom-left line of a row: "Invalid odometer reading." for a fill-up marked not
    // valid; nothing for the newest fill-up (its tank is still open), for a tank without
    // distance and for figures that are not finite (a tank without fuel); otherwise the
    // economy and the consumption in the settings' units.
    static std::string economyLine(const Fillup& fillup, bool newest);
    // "12.500gal @ $3.49/gal (F)": quantity, price and F, P or R for the type.
    static std::string purchaseLine(const Fillup& fillup);

    // Opens the record fill-up form on a new fill-up of this car.
    void addNew();

    int tabBarTag() const override { return VehiclePages::kFuel; }

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
    void loadHistory();
    bool isFillupRow(int row) const { return row >= 0 && row < int(m_history.size()); }

    std::vector<Fillup> m_history;
};
