#include "app/RootViewController.h"

#include "app/StartupViewController.h"
#include "app/VehicleListTableViewCell.h"
#include "backup/SyncViewController.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/views/NavigationController.h"
#include "screens/AboutViewController.h"
#include "screens/EditVehicleViewController.h"
#include "screens/SettingsViewController.h"
#include "screens/VehicleTabViewController.h"
#include "screens/WebBrowserViewController.h"
#include "ui/BadgeView.h"
#include "ui/OdometerView.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

RootViewController::RootViewController()
    : ThemedTableViewController(kLayoutName, TableViewStyle::Plain) { }

void RootViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    // A stored number beyond the table selects theme 0.
    resetTheme(this);
    tableView()->setAllowsSelectionDuringEditing(true);
    navigationItem().setRightBarButtonItem(editButtonItem());
    navigationItem().setLeftBarButtonItem(
        std::make_shared<BarButtonItem>(platform::graphics::Image::imageNamed("Sync.png"),
            BarButtonItemStyle::Bordered, action(&RootViewController::syncButtonPressed)));

    // The four actions below the list.
    m_toolbar = std::make_shared<Toolbar>(Rect(0, 0, view()->bounds().width(), Toolbar::kHeight));
    auto space = [] { return std::make_shared<BarButtonItem>(BarButtonSystemItem::FlexibleSpace); };
    m_toolbar->setItems({
        std::make_shared<BarButtonItem>(
            "Settings", BarButtonItemStyle::Bordered, action(&RootViewController::settingsButtonPressed)),
        space(),
        std::make_shared<BarButtonItem>(
            BarButtonSystemItem::Add, action(&RootViewController::addButtonPressed)),
        space(),
        std::make_shared<BarButtonItem>(
            "Help", BarButtonItemStyle::Bordered, action(&RootViewController::helpButtonPressed)),
        std::make_shared<BarButtonItem>(
            "About", BarButtonItemStyle::Bordered, action(&RootViewController::aboutButtonPressed)),
    });
    setBottomBar(m_toolbar);
}

void RootViewController::viewWillAppear(bool animated) {
    ThemedTableViewController::viewWillAppear(animated);
    setTitle("Vantrel");
    refreshView();
    showStartupController(m_vehicles.empty());
}

void RootViewController::viewWillDisappear(bool animated) {
    ThemedTableViewController::viewWillDisappear(animated);
    // The next screen's back button reads "Cars".
    setTitle("Cars");
}

void RootViewController::refreshView() {
    SettingsManager& settings = SettingsManager::sharedManager();
    m_vehicles.clear();
    m_vehicles = DB::vehiclesWithServiceDueInDays(settings.daysBeforeDue(), settings.distanceBeforeDue());
    tableView()->reloadData();
}

void RootViewController::showStartupController(bool show) {
    if (show) {
        if (m_startupController) {
            m_startupController->applyTheme();
            return;
        }
        m_startupController = std::make_shared<StartupViewController>();
        auto startView = m_startupController->view();
        startView->setTag(kStartupViewTag);
        // Over the list only: the toolbar's actions (About among them) stay in reach.
        startView->setFrame(tableView()->frame());
        startView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        view()->addSubview(startView);
        m_startupController->applyTheme();
        // Without its Edit button the list could not leave edit mode later.
        if (isEditing())
            setEditing(false, false);
        navigationItem().setRightBarButtonItem(nullptr);
    } else {
        if (View* startView = view()->viewWithTag(kStartupViewTag))
            startView->removeFromSuperview();
        m_startupController.reset();
        navigationItem().setRightBarButtonItem(editButtonItem());
    }
}

void RootViewController::addButtonPressed() {
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<EditVehicleViewController>(std::nullopt), true);
}

void RootViewController::settingsButtonPressed() {
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<SettingsViewController>(), true);
}

void RootViewController::syncButtonPressed() {
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<SyncViewController>(), true);
}

void RootViewController::aboutButtonPressed() {
    presentModalViewController(std::make_shared<AboutViewController>(), true);
}

void RootViewController::helpButtonPressed() {
    presentModalViewController(std::make_shared<WebBrowserViewController>(helpURL()), true);
}

std::shared_ptr<TableViewCell> RootViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell<VehicleListTableViewCell>(kCellIdentifier);

    const Vehicle& vehicle = m_vehicles.at(size_t(indexPath.row));
    cell->vehicleImageView().setImage(vehicle.picture());
    cell->nameLabel().setText(vehicle.name);
    cell->modelLabel().setText(vehicle.modelLine());
    cell->odometer().setValue(vehicle.odometer);
    cell->badgeView().setText(std::to_string(vehicle.dueServiceCount));
    cell->badgeView().setHidden(vehicle.dueServiceCount <= 0);
    cell->placeBadge();

    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    setLargeFont(cell->nameLabel());
    setSmallFont(cell->modelLabel());
    return cell;
}

double RootViewController::heightForRowAtIndexPath(TableView&, IndexPath) {
    return VehicleListTableViewCell::kRowHeight;
}

void RootViewController::commitEditingStyle(
    TableView& table, TableViewCellEditingStyle style, IndexPath indexPath) {
    if (style != TableViewCellEditingStyle::Delete || size_t(indexPath.row) >= m_vehicles.size())
        return;
    if (!DB::deleteVehicle(m_vehicles[size_t(indexPath.row)].vid)) {
        showSaveFailedAlert();
        return;
    }
    m_vehicles.erase(m_vehicles.begin() + indexPath.row);
    table.deleteRowsAtIndexPaths({indexPath}, TableViewRowAnimation::Fade);
    showStartupController(m_vehicles.empty());
}

void RootViewController::moveRowAtIndexPath(TableView&, IndexPath from, IndexPath to) {
    if (size_t(from.row) >= m_vehicles.size() || size_t(to.row) >= m_vehicles.size())
        return;
    Vehicle moved = m_vehicles[size_t(from.row)];
    m_vehicles.erase(m_vehicles.begin() + from.row);
    m_vehicles.insert(m_vehicles.begin() + to.row, std::move(moved));
    if (!DB::updateVehicleRowOrders(m_vehicles)) {
        // The list shows the order the store keeps.
        showSaveFailedAlert();
        refreshView();
    }
}

void RootViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    if (size_t(indexPath.row) >= m_vehicles.size())
        return;
    Vehicle vehicle = DB::getVehicleWithID(m_vehicles[size_t(indexPath.row)].vid);
    std::shared_ptr<ViewController> next;
    if (isEditing())
        next = std::make_shared<EditVehicleViewController>(vehicle);
    else
        next = std::make_shared<VehicleTabViewController>(vehicle);
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(next, true);
}
