#include "ui/VehiclePageViewController.h"

#include "ui/VTTabBar.h"

using namespace platform::views;

VehiclePageViewController::VehiclePageViewController(
    const std::string& layoutName, TableViewStyle style, Vehicle vehicle)
    : ThemedTableViewController(layoutName, style)
    , m_vehicle(std::move(vehicle)) { }

void VehiclePageViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    m_tabBar = std::make_shared<VTTabBar>(Rect(0, 0, view()->bounds().width(), VTTabBar::kHeight));
    setBottomBar(m_tabBar);
}

void VehiclePageViewController::viewWillAppear(bool animated) {
    ThemedTableViewController::viewWillAppear(animated);
    reloadPage();
    m_tabBar->setBackgroundColor(firstColor());
    m_tabBar->setVehicle(m_vehicle);
}
