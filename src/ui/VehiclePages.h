#pragma once

#include <functional>
#include <memory>

#include "model/Vehicle.h"
#include "platform/views/ViewController.h"

// The pages of one vehicle that the vehicle menu and the vehicle tab bar open, by the tab
// bar's tags: 2 services, 3 repairs, 4 fuel, 5 reports (1 is the vehicle menu itself). The
// application registers a factory for each page it has at start-up; the presentation kit
// knows the pages only through this table, and a page without a factory is offered nowhere.
class VehiclePages {
public:
    enum Tag : int { kCar = 1, kServices = 2, kRepairs = 3, kFuel = 4, kReports = 5 };
    using Factory = std::function<std::shared_ptr<platform::views::ViewController>(const Vehicle&)>;

    static void registerPage(int tag, Factory factory);
    static bool hasPage(int tag);
    // The registered tags among 2 to 5, in order.
    static std::vector<int> pages();
    // A new page for `vehicle`, or none when the tag has no factory.
    static std::shared_ptr<platform::views::ViewController> makePage(int tag, const Vehicle& vehicle);
};

// What a vehicle page tells the tab bar: which of its tabs it is.
class VTTabPage {
public:
    virtual ~VTTabPage() = default;
    virtual int tabBarTag() const = 0;
};
