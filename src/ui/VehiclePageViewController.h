#pragma once

#include <memory>
#include <string>

#include "model/Vehicle.h"
#include "platform/views/TableView.h"
#include "ui/ThemedTableViewController.h"
#include "ui/VehiclePages.h"

class VTTabBar;

// A page of one car that the vehicle tab bar switches between (services, repairs, fuel,
// reports): a themed table with the tab bar along the bottom. Each time the page is about
// to appear it reads what it shows afresh (reloadPage), then the bar takes the theme's
// first colour and the page's car.
class VehiclePageViewController : public ThemedTableViewController, public VTTabPage {
public:
    const Vehicle& vehicle() const { return m_vehicle; }
    // The bar (made when the view loads).
    VTTabBar& tabBar() const { return *m_tabBar; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

protected:
    VehiclePageViewController(
        const std::string& layoutName, platform::views::TableViewStyle style, Vehicle vehicle);

    // Reads the page's rows (and the car, where it may have changed) and reloads the table;
    // nothing here.
    virtual void reloadPage() { }
    void setVehicle(Vehicle vehicle) { m_vehicle = std::move(vehicle); }

private:
    Vehicle m_vehicle;
    std::shared_ptr<VTTabBar> m_tabBar;
};
