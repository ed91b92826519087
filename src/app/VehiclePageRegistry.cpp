#include "app/VehiclePageRegistry.h"

#include "screens/ServicesTabViewController.h"
#include "reports/ReportsTabViewController.h"
#include "ui/VehiclePages.h"

void registerVehiclePages() {
    // One line per page: VehiclePages::registerPage(tag, a factory making the page for a car).
    VehiclePages::registerPage(VehiclePages::kServices,
        [](const Vehicle& v) { return std::make_shared<ServicesTabViewController>(v); });
    VehiclePages::registerPage(VehiclePages::kReports,
        [](const Vehicle& v) { return std::make_shared<ReportsTabViewController>(v); });
}
