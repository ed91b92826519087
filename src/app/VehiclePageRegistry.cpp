#include "app/VehiclePageRegistry.h"

#include "screens/FuelTabViewController.h"
#include "screens/RepairsTabViewController.h"
#include "ui/VehiclePages.h"

void registerVehiclePages() {
    // One line per page: VehiclePages::registerPage(tag, a factory making the page for a car).
    VehiclePages::registerPage(VehiclePages::kRepairs,
        [](const Vehicle& v) { return std::make_shared<RepairsTabViewController>(v); });
    VehiclePages::registerPage(
        VehiclePages::kFuel, [](const Vehicle& v) { return std::make_shared<FuelTabViewController>(v); });
}
