#include "model/FuelText.h"

#include "QLCoreLibrary/ValueText.h"
#include "model/SettingsManager.h"

namespace {

std::string economyLabel(int code) {
    switch (code) {
    case 0:
    case 1:
        return "MPG";
    case 2:
        return "mi/L";
    case 3:
        return "km/L";
    case 4:
    case 5:
        return "km/gal";
    }
    return {};
}

std::string efficiencyLabel(int code) {
    switch (code) {
    case 0:
    case 1:
        return "gal/100mi";
    case 2:
        return "L/100mi";
    case 3:
        return "L/100km";
    case 4:
    case 5:
        return "gal/100km";
    }
    return {};
}

} // namespace

std::string FormatFuel(float quantity) {
    return FormatFloat(quantity, 3) + SettingsManager::sharedManager().fuelUnitShortName();
}

std::string FormatFuelCostPerUnit(float price) {
    return FormatCurrency(price) + "/" + SettingsManager::sharedManager().fuelUnitShortName();
}

std::string FormatFuelEconomy(float value) {
    return FormatFloat(value, 2) + " " + economyLabel(SettingsManager::sharedManager().fuelEconomyUnit());
}

std::string FormatFuelEfficiency(float value) {
    return FormatFloat(value, 2) + " "
        + efficiencyLabel(SettingsManager::sharedManager().fuelEfficiencyUnit());
}
