#include "app/VehiclePageRegistry.h"

#include "ui/VehiclePages.h"

void registerVehiclePages() {
    // One line per page: VehiclePages::registerPage(tag, a factory making the page for a car).
}
