#include "screens/FuelTabViewController.h"

#include <cmath>

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "model/FuelText.h"
#include "model/SettingsManager.h"
#include "platform/views/NavigationController.h"
#include "screens/FillupHistoryCell.h"
#include "screens/RecordFillupViewController.h"
#include "ui/PlaceholderCell.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

// Every fill-up of the car's history.
constexpr int kWholeHistory = 6;
constexpr const char* kDeleteFailed
    = "The fill-up could not be deleted. Check that Vantrel's data folder can be written to, then try again.";

const char* typeLetter(int type) {
    switch (type) {
    case kFillupFull:
        return "F";
    case kFillupPartial:
        return "P";
    default:
        return "R";
    }
}

} // namespace

FuelTabViewController::FuelTabViewController(Vehicle vehicle)
    : VehiclePageViewController(kLayoutName, TableViewStyle::Plain, std::move(vehicle)) { }

void FuelTabViewController::viewDidLoad() {
    VehiclePageViewController::viewDidLoad();
    setTitle("Fuel");
    navigationItem().setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Add, action(&FuelTabViewController::addNew)));
}

void FuelTabViewController::reloadPage() {
    loadHistory();
    tableView()->reloadData();
}

void FuelTabViewController::loadHistory() {
    SettingsManager& settings = SettingsManager::sharedManager();
    m_history = DB::fillupsForVehicle(vehicle(), settings.fuelUnit(), settings.distanceUnit(), kWholeHistory);
}

const Fillup& FuelTabViewController::fillupAtRow(int row) const {
    return m_history.at(m_history.size() - 1 - size_t(row));
}

std::string FuelTabViewController::economyLine(const Fillup& fillup, bool newest) {
    if (!fillup.isValid)
        return kInvalidOdometer;
    if (newest || fillup.distance <= 0)
        return "";
    SettingsManager& settings = SettingsManager::sharedManager();
    float economy = fillup.economyWithUnit(settings.fuelEconomyUnit());
    float efficiency = fillup.efficiencyWithUnit(settings.fuelEfficiencyUnit());
    // A tank without fuel (a quantity of 0 from an old database) has no figure to show.
    if (!std::isfinite(economy) || !std::isfinite(efficiency))
        return "";
    return FormatFuelEconomy(economy) + " | " + FormatFuelEfficiency(efficiency);
}

std::string FuelTabViewController::purchaseLine(const Fillup& fillup) {
    return FormatFuel(static_cast<float>(fillup.quantity)) + " @ "
        + FormatFuelCostPerUnit(static_cast<float>(fillup.costPerUnit)) + " (" + typeLetter(fillup.type)
        + ")";
}

void FuelTabViewController::addNew() {
    Fillup fillup;
    fillup.vehicleID = vehicle().vid;
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<RecordFillupViewController>(fillup, true), true);
}

int FuelTabViewController::numberOfRowsInSection(TableView&, int) {
    return m_history.empty() ? 1 : int(m_history.size());
}

double FuelTabViewController::heightForRowAtIndexPath(TableView&, IndexPath) {
    return m_history.empty() ? kPlaceholderHeight : kRowHeight;
}

std::shared_ptr<TableViewCell> FuelTabViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    if (!isFillupRow(indexPath.row)) {
        auto cell = table.dequeueReusableCell<PlaceholderCell>(kPlaceholderIdentifier);
        cell->show("Record A Fill-up",
            "You have not recorded any fill-up for this car. Tap here to record a fill-up.");
        return cell;
    }
    const Fillup& fillup = fillupAtRow(indexPath.row);
    auto cell = table.dequeueReusableCell<FillupHistoryCell>(kCellIdentifier);
    cell->dateLabel().setText(fillup.date ? FormatDate(*fillup.date, DateStyle::Medium) : "");
    setLargeFont(cell->dateLabel());
    cell->economyLabel().setText(economyLine(fillup, indexPath.row == 0));
    setExtraSmallFont(cell->economyLabel());
    cell->totalLabel().setText(FormatCurrency(fillup.quantity * fillup.costPerUnit));
    setLargeFont(cell->totalLabel());
    cell->purchaseLabel().setText(purchaseLine(fillup));
    setExtraSmallFont(cell->purchaseLabel());
    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    // The labels are placed at the sizes of their new texts.
    cell->setNeedsLayout();
    return cell;
}

void FuelTabViewController::commitEditingStyle(
    TableView& table, TableViewCellEditingStyle style, IndexPath indexPath) {
    if (style != TableViewCellEditingStyle::Delete || !isFillupRow(indexPath.row))
        return;
    if (!DB::deleteFillup(fillupAtRow(indexPath.row))) {
        showAlert("Error", kDeleteFailed);
        // The row stays, without its delete button.
        table.reloadData();
        return;
    }
    // The tanks on either side of the one removed are attributed anew.
    const size_t before = m_history.size();
    loadHistory();
    if (m_history.empty() || m_history.size() + 1 != before) {
        table.reloadData();
        return;
    }
    std::vector<IndexPath> others;
    for (const IndexPath& shown : table.indexPathsForVisibleRows()) {
        if (shown != indexPath)
            others.push_back(shown);
    }
    table.beginUpdates();
    table.deleteRowsAtIndexPaths({indexPath}, TableViewRowAnimation::Fade);
    table.reloadRowsAtIndexPaths(others, TableViewRowAnimation::None);
    table.endUpdates();
}

void FuelTabViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    if (!isFillupRow(indexPath.row)) {
        addNew();
        return;
    }
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(
            std::make_shared<RecordFillupViewController>(fillupAtRow(indexPath.row), false), true);
}
