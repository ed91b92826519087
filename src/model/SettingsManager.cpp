#include "model/SettingsManager.h"

#include "QLCoreLibrary/UserDefaultsExtensions.h"
#include "model/Units.h"

using platform::UserDefaults;

namespace {

UserDefaults& store() {
    return UserDefaults::standardUserDefaults();
}

// Every change goes to disk at once: the process may end any moment (a closed terminal, a
// phone that drops the page) without resigning first.
void writeInteger(const char* key, int value) {
    store().setInteger(key, value);
    store().synchronize();
}

int readInt(const char* key, int defaultValue) {
    return static_cast<int>(integerForKey(store(), key, defaultValue));
}

std::string nameAt(const std::vector<std::string>& names, int code) {
    return code >= 0 && code < static_cast<int>(names.size()) ? names[code] : std::string();
}

} // namespace

SettingsManager& SettingsManager::sharedManager() {
    static SettingsManager manager;
    return manager;
}

bool SettingsManager::serviceReminders() const {
    return boolForKey(store(), kServiceReminders, true);
}
void SettingsManager::setServiceReminders(bool on) {
    store().setBool(kServiceReminders, on);
    store().synchronize();
}

bool SettingsManager::autoUpdateOdometer() const {
    return boolForKey(store(), kAutoUpdateOdometer, true);
}
void SettingsManager::setAutoUpdateOdometer(bool on) {
    store().setBool(kAutoUpdateOdometer, on);
    store().synchronize();
}

int SettingsManager::themeIndex() const {
    return readInt(kThemeIndex, 0);
}
void SettingsManager::setThemeIndex(int index) {
    writeInteger(kThemeIndex, index);
}

int SettingsManager::distanceUnit() const {
    return readInt(kDistanceUnit, kDistanceMiles);
}
void SettingsManager::setDistanceUnit(int unit) {
    writeInteger(kDistanceUnit, unit);
}

int SettingsManager::fuelUnit() const {
    return readInt(kFuelUnit, kFuelUSGallon);
}
void SettingsManager::setFuelUnit(int unit) {
    writeInteger(kFuelUnit, unit);
}

int SettingsManager::fuelEconomyUnit() const {
    return readInt(kFuelEconomyUnit, 0);
}
void SettingsManager::setFuelEconomyUnit(int unit) {
    writeInteger(kFuelEconomyUnit, unit);
}

int SettingsManager::fuelEfficiencyUnit() const {
    return readInt(kFuelEfficiencyUnit, 0);
}
void SettingsManager::setFuelEfficiencyUnit(int unit) {
    writeInteger(kFuelEfficiencyUnit, unit);
}

int SettingsManager::distanceBeforeDue() const {
    return readInt(kDistanceBeforeDue, 500);
}
void SettingsManager::setDistanceBeforeDue(int distance) {
    writeInteger(kDistanceBeforeDue, distance);
}

int SettingsManager::daysBeforeDue() const {
    return readInt(kDaysBeforeDue, 14);
}
void SettingsManager::setDaysBeforeDue(int days) {
    writeInteger(kDaysBeforeDue, days);
}

void SettingsManager::save() {
    store().synchronize();
}

std::string SettingsManager::distanceUnitName() const {
    return nameAt(distanceUnits(), distanceUnit());
}
std::string SettingsManager::fuelUnitName() const {
    return nameAt(fuelUnits(), fuelUnit());
}
std::string SettingsManager::fuelUnitShortName() const {
    return fuelUnit() == kFuelLiter ? "L" : "gal";
}
std::string SettingsManager::fuelEconomyUnitName() const {
    return nameAt(fuelEconomyUnits(), fuelEconomyUnit());
}
std::string SettingsManager::fuelEfficiencyUnitName() const {
    return nameAt(fuelEfficiencyUnits(), fuelEfficiencyUnit());
}

std::vector<std::string> SettingsManager::distanceUnits() {
    return {"Kilometers", "Miles"};
}
std::vector<std::string> SettingsManager::fuelUnits() {
    return {"Liter", "Gallon (US)", "Gallon (Imperial)"};
}
std::vector<std::string> SettingsManager::fuelEconomyUnits() {
    return {"MPG (US)", "MPG (Imperial)", "mi/L", "km/L", "km/gal (US)", "km/gal (Imperial)"};
}
std::vector<std::string> SettingsManager::fuelEfficiencyUnits() {
    return {"gal/100mi (US)", "gal/100mi (Imperial)", "L/100mi", "L/100km", "gal/100km (US)",
        "gal/100km (Imperial)"};
}
