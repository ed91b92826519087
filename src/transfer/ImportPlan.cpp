#include "transfer/ImportPlan.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "data/DB.h"
#include "data/DBDateCodec.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "transfer/ImportValues.h"

namespace {

std::optional<platform::Date> dateOf(const std::optional<ImportDay>& day) {
    return day ? DBDateCodec::dateFromText(DBDateCodec::formatDay(*day)) : std::nullopt;
}

std::string dayText(const std::optional<platform::Date>& date) {
    return DBDateCodec::textFromDate(date).value_or("");
}

// Fill-ups are compared by their quantity in litres, in the single precision the store's
// conversions give, to the centilitre.
long long centilitres(const Fillup& fillup) {
    return std::llround(double(fillup.quantityWithUnit(kFuelLiter)) * 100);
}

using FillupKey = std::tuple<std::string, int, long long>;
using RecordKey = std::tuple<std::string, int, std::string>;

// The economy and consumption units that measure in these distance and fuel units.
int unitCode(int distance, int fuel) {
    if (distance == kDistanceMiles)
        return fuel == kFuelImperialGallon ? 1 : fuel == kFuelLiter ? 2 : 0;
    return fuel == kFuelUSGallon ? 4 : fuel == kFuelImperialGallon ? 5 : 3;
}

} // namespace

std::vector<ImportPlan::Target> ImportPlan::defaultTargets(const ImportData& data) {
    const std::vector<Vehicle> cars = DB::vehiclesWithServiceDueInDays(0, 0);
    // What each car holds, to recognise a file imported into it before under another name.
    const int fuelUnit = data.fuelUnit.value_or(SettingsManager::sharedManager().fuelUnit());
    std::vector<std::set<std::pair<std::string, long long>>> held;
    for (const Vehicle& car : cars) {
        held.emplace_back();
        for (const Fillup& fillup : DB::fillupsForVehicle(car, kFuelLiter, kDistanceMiles, 6))
            held.back().insert({dayText(fillup.date), centilitres(fillup)});
    }
    std::vector<Target> targets;
    for (const ImportedVehicle& vehicle : data.vehicles) {
        Target target;
        const std::string name = ImportValues::lowerCase(ImportValues::trim(vehicle.name));
        size_t bestMatches = 0;
        for (size_t c = 0; c < cars.size(); ++c) {
            if (ImportValues::lowerCase(ImportValues::trim(cars[c].name)) == name) {
                target = {Target::ExistingVehicle, cars[c].vid};
                break;
            }
            size_t matches = 0;
            for (const ImportedFillup& row : vehicle.fillups) {
                Fillup fillup;
                fillup.date = dateOf(row.date);
                fillup.quantity = row.quantity;
                fillup.units = row.units.value_or(fuelUnit);
                matches += held[c].count({dayText(fillup.date), centilitres(fillup)});
            }
            if (matches > bestMatches) {
                bestMatches = matches;
                target = {Target::ExistingVehicle, cars[c].vid};
            }
        }
        targets.push_back(target);
    }
    return targets;
}

ImportPlan::ImportPlan(const ImportData& data, const ImportOptions& options, std::vector<Target> targets)
    : m_targets(std::move(targets))
    , m_exact(data.exactLogbook) {
    SettingsManager& settings = SettingsManager::sharedManager();
    m_targets.resize(data.vehicles.size());
    m_fileDistanceUnit = options.distanceUnit.value_or(data.distanceUnit.value_or(settings.distanceUnit()));
    // Vantrel's own files name a unit per row: the one most rows use stands for the file.
    std::map<int, int> rowUnits;
    for (const ImportedVehicle& vehicle : data.vehicles) {
        for (const ImportedFillup& fillup : vehicle.fillups) {
            if (fillup.units)
                ++rowUnits[*fillup.units];
        }
    }
    auto mostUsed = std::max_element(
        rowUnits.begin(), rowUnits.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    // A tie leaves the settings' unit as it is.
    if (const auto settingsUnit = rowUnits.find(settings.fuelUnit());
        settingsUnit != rowUnits.end() && settingsUnit->second == mostUsed->second)
        mostUsed = settingsUnit;
    m_fileFuelUnit = options.fuelUnit ? *options.fuelUnit
        : data.fuelUnit               ? *data.fuelUnit
        : mostUsed != rowUnits.end()  ? mostUsed->first
                                      : settings.fuelUnit();
    const bool emptyLogbook = DB::vehiclesWithServiceDueInDays(0, 0).empty();
    m_storedDistanceUnit = emptyLogbook ? m_fileDistanceUnit : settings.distanceUnit();
    m_adoptsUnits = emptyLogbook && data.recordCount() > 0
        && (m_fileDistanceUnit != settings.distanceUnit() || m_fileFuelUnit != settings.fuelUnit());

    const auto reading = [this](double value) {
        return int(std::llround(value * distanceConversionFactor(m_fileDistanceUnit, m_storedDistanceUnit)));
    };
    for (size_t index = 0; index < data.vehicles.size(); ++index) {
        const ImportedVehicle& source = data.vehicles[index];
        PlannedVehicle planned;
        planned.source = &source;
        planned.target = m_targets[index];
        if (planned.target.kind == Target::Skip) {
            m_vehicles.push_back(std::move(planned));
            continue;
        }
        std::set<FillupKey> fillupsStored;
        std::set<RecordKey> repairsStored, servicesStored;
        std::set<std::string> serviceNames;
        if (planned.target.kind == Target::ExistingVehicle) {
            planned.vehicle = DB::getVehicleWithID(planned.target.vid);
            for (const Fillup& fillup :
                DB::fillupsForVehicle(planned.vehicle, kFuelLiter, m_storedDistanceUnit, 6))
                fillupsStored.insert({dayText(fillup.date), fillup.odometer, centilitres(fillup)});
            for (const Repair& repair : DB::allRepairsForVehicle(planned.vehicle))
                repairsStored.insert(
                    {dayText(repair.datePerformed), repair.odometer, ImportValues::lowerCase(repair.name)});
            for (const Service& service : DB::allServiceRecordsForVehicle(planned.target.vid)) {
                serviceNames.insert(ImportValues::lowerCase(service.name));
                servicesStored.insert({dayText(service.datePerformed), service.odometer,
                    ImportValues::lowerCase(service.name)});
            }
        } else {
            planned.vehicle.name = source.name;
            planned.vehicle.licensePlate = source.licensePlate;
            planned.vehicle.make = source.make;
            planned.vehicle.model = source.model;
            planned.vehicle.year = source.year;
            planned.vehicle.notes = source.notes;
        }

        for (const ImportedFillup& row : source.fillups) {
            Fillup fillup;
            fillup.date = dateOf(row.date);
            fillup.odometer = reading(row.odometer);
            fillup.quantity = row.quantity;
            fillup.costPerUnit = row.costPerUnit;
            fillup.units = row.units.value_or(m_fileFuelUnit);
            fillup.type = row.type;
            fillup.notes = row.notes;
            planned.highestReading = std::max(planned.highestReading, fillup.odometer);
            if (fillupsStored.count({dayText(fillup.date), fillup.odometer, centilitres(fillup)}))
                ++planned.duplicates;
            else
                planned.fillups.push_back(std::move(fillup));
        }
        // Exports are often newest first; the tanks are counted oldest first.
        std::stable_sort(
            planned.fillups.begin(), planned.fillups.end(), [](const Fillup& a, const Fillup& b) {
                return std::tie(a.date, a.odometer) < std::tie(b.date, b.odometer);
            });

        for (const ImportedRepair& row : source.repairs) {
            Repair repair;
            repair.name = row.name;
            repair.datePerformed = dateOf(row.date);
            repair.odometer = reading(row.odometer);
            repair.cost = row.cost;
            repair.notes = row.notes;
            planned.highestReading = std::max(planned.highestReading, repair.odometer);
            if (repairsStored.count(
                    {dayText(repair.datePerformed), repair.odometer, ImportValues::lowerCase(repair.name)}))
                ++planned.duplicates;
            else
                planned.repairs.push_back(std::move(repair));
        }
        std::stable_sort(planned.repairs.begin(), planned.repairs.end(),
            [](const Repair& a, const Repair& b) { return a.datePerformed < b.datePerformed; });

        for (const ImportedService& row : source.services) {
            Service service;
            service.name = row.name;
            service.frequencyInMiles = reading(row.intervalDistance);
            service.frequencyInMonths = row.intervalMonths;
            service.datePerformed = dateOf(row.date);
            service.odometer = reading(row.odometer);
            service.cost = row.cost;
            service.notes = row.notes;
            planned.highestReading = std::max(planned.highestReading, service.odometer);
            const std::string name = ImportValues::lowerCase(service.name);
            const bool stored = service.datePerformed
                ? servicesStored.count({dayText(service.datePerformed), service.odometer, name}) > 0
                : serviceNames.count(name) > 0;
            if (stored)
                ++planned.duplicates;
            else
                planned.services.push_back({row.typeKey, std::move(service)});
        }

        if (planned.target.kind == Target::NewVehicle)
            planned.vehicle.odometer
                = m_exact && source.odometer ? reading(*source.odometer) : planned.highestReading;
        m_vehicles.push_back(std::move(planned));
    }
}

ImportPlan::Counts ImportPlan::counts() const {
    Counts counts;
    for (const PlannedVehicle& planned : m_vehicles) {
        if (planned.target.kind == Target::Skip)
            continue;
        counts.fillups += int(planned.fillups.size());
        counts.repairs += int(planned.repairs.size());
        counts.services += int(planned.services.size());
        counts.duplicates += planned.duplicates;
        counts.newVehicles += planned.target.kind == Target::NewVehicle;
    }
    return counts;
}

namespace {

// Stores a car's services: each service of the file becomes the car's service of that name
// (a new one when it has none), its first performance filling the car's not-recorded row.
bool storeServices(const std::vector<ImportPlan::PlannedService>& services, int vid, int& stored) {
    std::map<std::string, int> byName;
    std::map<int, int> notRecorded;
    for (const Service& service : DB::serviceSummaryForVehicle(vid)) {
        byName.emplace(ImportValues::lowerCase(service.name), service.serviceID);
        if (!service.datePerformed)
            notRecorded[service.serviceID] = service.vehicleServiceID;
    }
    std::map<std::string, int> typeIDs;
    std::set<int> created;
    for (const ImportPlan::PlannedService& planned : services) {
        int serviceID = 0;
        if (auto known = typeIDs.find(planned.typeKey); known != typeIDs.end()) {
            serviceID = known->second;
        } else if (auto named = byName.find(ImportValues::lowerCase(planned.record.name));
                   named != byName.end()) {
            serviceID = named->second;
        } else {
            Service type;
            type.name = planned.record.name;
            type.frequencyInMiles = planned.record.frequencyInMiles;
            type.frequencyInMonths = planned.record.frequencyInMonths;
            if (!DB::saveService(type))
                return false;
            serviceID = type.serviceID;
            created.insert(serviceID);
        }
        typeIDs[planned.typeKey] = serviceID;
        Service record = planned.record;
        record.vehicleID = vid;
        record.serviceID = serviceID;
        record.vehicleServiceID = 0;
        if (!record.datePerformed && !created.count(serviceID))
            continue; // the car has the service already
        if (auto waiting = notRecorded.find(serviceID);
            waiting != notRecorded.end() && record.datePerformed) {
            record.vehicleServiceID = waiting->second;
            notRecorded.erase(waiting);
        }
        if (!DB::saveVehicleService(record, false))
            return false;
        ++stored;
    }
    return true;
}

} // namespace

std::optional<ImportPlan::Counts> ImportPlan::commit() const {
    if (!DB::beginTransaction())
        return std::nullopt;
    Counts counts;
    const auto store = [&]() {
        for (const PlannedVehicle& planned : m_vehicles) {
            if (planned.target.kind == Target::Skip)
                continue;
            int vid = planned.target.vid;
            if (planned.target.kind == Target::NewVehicle) {
                Vehicle vehicle = planned.vehicle;
                if (!DB::saveVehicle(vehicle, !m_exact))
                    return false;
                vid = vehicle.vid;
                ++counts.newVehicles;
            }
            for (Fillup fillup : planned.fillups) {
                fillup.vehicleID = vid;
                if (!DB::saveFillup(fillup, false))
                    return false;
                ++counts.fillups;
            }
            for (Repair repair : planned.repairs) {
                repair.vehicleID = vid;
                if (!DB::saveRepair(repair, false))
                    return false;
                ++counts.repairs;
            }
            if (!storeServices(planned.services, vid, counts.services))
                return false;
            counts.duplicates += planned.duplicates;
            if (planned.target.kind == Target::ExistingVehicle
                && !DB::updateOdometer(planned.highestReading, vid))
                return false;
        }
        return true;
    };
    if (!store()) {
        DB::rollbackTransaction();
        return std::nullopt;
    }
    if (!DB::commitTransaction())
        return std::nullopt;
    if (m_adoptsUnits) {
        SettingsManager& settings = SettingsManager::sharedManager();
        settings.setDistanceUnit(m_fileDistanceUnit);
        settings.setFuelUnit(m_fileFuelUnit);
        settings.setFuelEconomyUnit(unitCode(m_fileDistanceUnit, m_fileFuelUnit));
        settings.setFuelEfficiencyUnit(unitCode(m_fileDistanceUnit, m_fileFuelUnit));
        settings.save();
    }
    return counts;
}
