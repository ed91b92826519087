#include "app/VehiclePageRegistry.h"

#include "reports/ReportsTabViewController.h"
#include "screens/FuelTabViewController.h"
#include "screens/RepairsTabViewController.h"
#include "screens/ServicesTabViewController.h"
#include "ui/VehiclePages.h"

void registerVehiclePages() {
    VehiclePages::registerPage(VehiclePages::kServices,
        [](const Vehicle& v) { return std::make_shared<ServicesTabViewController>(v); });
    VehiclePages::registerPage(VehiclePages::kReports,
        [](const Vehicle& v) { return std::make_shared<ReportsTabViewController>(v); });
    VehiclePages::registerPage(VehiclePages::kRepairs,
        [](const Vehicle& v) { return std::make_shared<RepairsTabViewController>(v); });
    VehiclePages::registerPage(
        VehiclePages::kFuel, [](const Vehicle& v) { return std::make_shared<FuelTabViewController>(v); });
}
