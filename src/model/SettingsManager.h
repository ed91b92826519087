#pragma once

#include <string>
#include <vector>

// The user's settings. Keeps nothing itself: every getter reads the per-user store with a
// fixed key and its default, every setter writes it and writes the store to disk at once.
class SettingsManager {
public:
    static SettingsManager& sharedManager();

    bool serviceReminders() const;
    void setServiceReminders(bool on);
    bool autoUpdateOdometer() const;
    void setAutoUpdateOdometer(bool on);
    int themeIndex() const;
    void setThemeIndex(int index);
    int distanceUnit() const;
    void setDistanceUnit(int unit);
    int fuelUnit() const;
    void setFuelUnit(int unit);
    int fuelEconomyUnit() const;
    void setFuelEconomyUnit(int unit);
    int fuelEfficiencyUnit() const;
    void setFuelEfficiencyUnit(int unit);
    int distanceBeforeDue() const;
    void setDistanceBeforeDue(int distance);
    int daysBeforeDue() const;
    void setDaysBeforeDue(int days);

    // Writes the store to disk (every setter already has; kept for the callers that save).
    void save();

    // Display names of the current codes; empty for a code outside its list.
    std::string distanceUnitName() const;
    std::string fuelUnitName() const;
    std::string fuelUnitShortName() const; // "L" for litres, "gal" for either gallon
    std::string fuelEconomyUnitName() const;
    std::string fuelEfficiencyUnitName() const;

    // The names of every code, in code order.
    static std::vector<std::string> distanceUnits();
    static std::vector<std::string> fuelUnits();
    static std::vector<std::string> fuelEconomyUnits();
    static std::vector<std::string> fuelEfficiencyUnits();

    static constexpr const char* kServiceReminders = "serviceReminders";
    static constexpr const char* kAutoUpdateOdometer = "autoUpdateOdometer";
    static constexpr const char* kThemeIndex = "themeIndex";
    static constexpr const char* kDistanceUnit = "distanceUnit";
    static constexpr const char* kFuelUnit = "fuelUnit";
    static constexpr const char* kFuelEconomyUnit = "fuelEconomyUnit";
    static constexpr const char* kFuelEfficiencyUnit = "fuelEfficiencyUnit";
    static constexpr const char* kDistanceBeforeDue = "distanceBeforeDue";
    static constexpr const char* kDaysBeforeDue = "daysBeforeDue";

private:
    SettingsManager() = default;
};
