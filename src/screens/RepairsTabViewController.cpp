#include "screens/RepairsTabViewController.h"

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "platform/base/Clock.h"
#include "platform/views/NavigationController.h"
#include "screens/RecordRepairViewController.h"
#include "screens/RepairHistoryCell.h"
#include "ui/OdometerView.h"
#include "ui/PlaceholderCell.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

constexpr const char* kDeleteFailed
    = "The repair could not be deleted. Check that Vantrel's data folder can be written to, then try again.";

} // namespace

RepairsTabViewController::RepairsTabViewController(Vehicle vehicle)
    : VehiclePageViewController(kLayoutName, TableViewStyle::Plain, std::move(vehicle)) { }

void RepairsTabViewController::viewDidLoad() {
    VehiclePageViewController::viewDidLoad();
    setTitle("Repairs");
    navigationItem().setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Add, action(&RepairsTabViewController::addNew)));
}

void RepairsTabViewController::reloadPage() {
    m_history = DB::allRepairsForVehicle(vehicle());
    tableView()->reloadData();
}

void RepairsTabViewController::addNew() {
    Repair repair;
    repair.vehicleID = vehicle().vid;
    repair.datePerformed = platform::Clock::now();
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<RecordRepairViewController>(repair, true), true);
}

int RepairsTabViewController::numberOfRowsInSection(TableView&, int) {
    return m_history.empty() ? 1 : int(m_history.size());
}

double RepairsTabViewController::heightForRowAtIndexPath(TableView&, IndexPath) {
    return m_history.empty() ? kPlaceholderHeight : kRowHeight;
}

std::shared_ptr<TableViewCell> RepairsTabViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    if (m_history.empty() || indexPath.row >= int(m_history.size())) {
        auto cell = table.dequeueReusableCell<PlaceholderCell>(kPlaceholderIdentifier);
        cell->show(
            "Record A Repair", "You have not recorded any repair for this car. Tap here to record a repair.");
        return cell;
    }
    const Repair& repair = m_history[size_t(indexPath.row)];
    auto cell = table.dequeueReusableCell<RepairHistoryCell>(kCellIdentifier);
    cell->odometer().setValue(repair.odometer);
    cell->dateLabel().setText(
        repair.datePerformed ? FormatDate(*repair.datePerformed, DateStyle::Medium) : "");
    setSmallFont(cell->dateLabel());
    cell->nameLabel().setText(repair.name);
    setLargeFont(cell->nameLabel());
    cell->notesLabel().setText(repair.notes);
    setSmallFont(cell->notesLabel());
    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    // The name is placed at its new size.
    cell->setNeedsLayout();
    return cell;
}

void RepairsTabViewController::commitEditingStyle(
    TableView& table, TableViewCellEditingStyle style, IndexPath indexPath) {
    if (style != TableViewCellEditingStyle::Delete || indexPath.row >= int(m_history.size()))
        return;
    if (!DB::deleteRepair(m_history[size_t(indexPath.row)])) {
        showAlert("Error", kDeleteFailed);
        // The row stays, without its delete button.
        table.reloadData();
        return;
    }
    m_history.erase(m_history.begin() + indexPath.row);
    if (m_history.empty())
        table.reloadData();
    else
        table.deleteRowsAtIndexPaths({indexPath}, TableViewRowAnimation::Fade);
}

void RepairsTabViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    if (m_history.empty() || indexPath.row >= int(m_history.size())) {
        addNew();
        return;
    }
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(
            std::make_shared<RecordRepairViewController>(m_history[size_t(indexPath.row)], false), true);
}
