#include "transfer/LogbookExport.h"

#include <cmath>
#include <cstdio>
#include <set>

#include <unicode/ucurr.h>

#include "QLCoreLibrary/ZipArchive.h"
#include "data/DB.h"
#include "data/DBDateCodec.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Locale.h"
#include "transfer/CsvWriter.h"
#include "transfer/VantrelCsvLayout.h"

namespace fs = platform::fs;

namespace {

std::string day(const std::optional<platform::Date>& date) {
    return DBDateCodec::textFromDate(date).value_or("");
}

std::string withUnit(const std::string& name, const std::string& unit) {
    return unit.empty() ? name : name + " (" + unit + ")";
}

} // namespace

std::string LogbookExport::currencyCode() {
    UErrorCode status = U_ZERO_ERROR;
    UChar code[4] = {};
    ucurr_forLocale(platform::Locale::current().c_str(), code, 4, &status);
    if (U_FAILURE(status) || !code[0])
        return "";
    return std::string {char(code[0]), char(code[1]), char(code[2])};
}

std::map<std::string, std::string> LogbookExport::csvFiles() {
    const int distanceUnit = SettingsManager::sharedManager().distanceUnit();
    const std::string distance = VantrelCsvLayout::distanceSymbol(distanceUnit);
    const std::string money = withUnit("Cost", currencyCode());
    const std::vector<Vehicle> vehicles = DB::vehiclesWithServiceDueInDays(0, 0);

    // A quantity and a price column for each fuel unit the fill-ups use.
    std::map<int, std::vector<Fillup>> fillupsOf;
    std::set<int> fuelUnits;
    for (const Vehicle& vehicle : vehicles) {
        fillupsOf[vehicle.vid] = DB::storedFillupsForVehicle(vehicle.vid);
        for (const Fillup& fillup : fillupsOf[vehicle.vid])
            fuelUnits.insert(fillup.units);
    }
    if (fuelUnits.empty())
        fuelUnits.insert(SettingsManager::sharedManager().fuelUnit());

    CsvWriter cars, fillups, services, repairs;
    cars.addRow({"Vehicle ID", "Name", "License Plate", "Make", "Model", "Year",
        withUnit("Odometer", distance), "Notes"});
    std::vector<std::string> fillupHeader {"Vehicle ID", "Vehicle", "Date", withUnit("Odometer", distance)};
    for (int unit : fuelUnits) {
        fillupHeader.push_back(withUnit("Quantity", VantrelCsvLayout::fuelSymbol(unit)));
        fillupHeader.push_back(withUnit("Price", "per " + VantrelCsvLayout::fuelSymbol(unit)));
    }
    fillupHeader.push_back(withUnit("Total Cost", currencyCode()));
    fillupHeader.push_back("Type");
    fillupHeader.push_back("Notes");
    fillups.addRow(fillupHeader);
    services.addRow({"Vehicle ID", "Vehicle", "Service ID", "Service", withUnit("Interval", distance),
        "Interval (months)", "Date Performed", withUnit("Odometer", distance), money, "Notes"});
    repairs.addRow(
        {"Vehicle ID", "Vehicle", "Repair", "Date", withUnit("Odometer", distance), money, "Notes"});

    // Identifiers of the export's own, so that a file says nothing of another logbook.
    int vehicleNumber = 0;
    std::map<int, int> serviceNumbers;
    for (const Vehicle& vehicle : vehicles) {
        const std::string id = std::to_string(++vehicleNumber);
        cars.addRow({id, vehicle.name, vehicle.licensePlate, vehicle.make, vehicle.model,
            std::to_string(vehicle.year), std::to_string(vehicle.odometer), vehicle.notes});
        for (const Fillup& fillup : fillupsOf[vehicle.vid]) {
            std::vector<std::string> row {
                id, vehicle.name, day(fillup.date), std::to_string(fillup.odometer)};
            for (int unit : fuelUnits) {
                const bool mine = unit == fillup.units;
                row.push_back(mine ? CsvWriter::number(fillup.quantity) : "");
                row.push_back(mine ? CsvWriter::number(fillup.costPerUnit) : "");
            }
            row.push_back(CsvWriter::number(std::round(fillup.totalCost() * 100) / 100));
            row.push_back(VantrelCsvLayout::typeName(fillup.type));
            row.push_back(fillup.notes);
            fillups.addRow(row);
        }
        for (const Service& service : DB::allServiceRecordsForVehicle(vehicle.vid)) {
            auto number
                = serviceNumbers.try_emplace(service.serviceID, int(serviceNumbers.size()) + 1).first->second;
            services.addRow({id, vehicle.name, std::to_string(number), service.name,
                std::to_string(service.frequencyInMiles), std::to_string(service.frequencyInMonths),
                day(service.datePerformed), std::to_string(service.odometer), CsvWriter::number(service.cost),
                service.notes});
        }
        // Oldest first, as the other files.
        const std::vector<Repair> newestFirst = DB::allRepairsForVehicle(vehicle);
        for (auto repair = newestFirst.rbegin(); repair != newestFirst.rend(); ++repair)
            repairs.addRow({id, vehicle.name, repair->name, day(repair->datePerformed),
                std::to_string(repair->odometer), CsvWriter::number(repair->cost), repair->notes});
    }
    return {{VantrelCsvLayout::kVehiclesFile, cars.text()}, {VantrelCsvLayout::kFillupsFile, fillups.text()},
        {VantrelCsvLayout::kServicesFile, services.text()}, {VantrelCsvLayout::kRepairsFile, repairs.text()}};
}

bool LogbookExport::writeZip(const std::string& path) {
    const std::string folder = fs::makeTemporaryDirectory("vantrel-csv");
    bool written = !folder.empty();
    ZipArchive archive(path);
    written = written && archive.openForWriting();
    for (const auto& [name, text] : written ? csvFiles() : std::map<std::string, std::string>()) {
        const std::string file = fs::joinPath(folder, name);
        written = written && fs::writeFileAtomically(file, text) && archive.addFile(file);
    }
    if (archive.mode() != ZipArchive::NotOpen)
        written = archive.close() && written;
    fs::removeItem(folder);
    if (!written)
        fs::removeItem(path);
    return written;
}

std::string LogbookExport::suggestedFileName() {
    const auto today = platform::Calendar().components(platform::Clock::now());
    char name[64];
    std::snprintf(name, sizeof name, "vantrel-csv-%04d-%02d-%02d.zip", today.year.value_or(0),
        today.month.value_or(0), today.day.value_or(0));
    return name;
}
