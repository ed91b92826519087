#include <gtest/gtest.h>

#include <sstream>

#include "data/DBDateCodec.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "transfer/CsvReader.h"
#include "transfer/ImportTestSupport.h"
#include "transfer/LogbookExport.h"
#include "transfer/VantrelCsvLayout.h"

using namespace vantrel::test;
namespace fs = platform::fs;

namespace {

std::optional<platform::Date> day(int year, int month, int date) {
    return DBDateCodec::dateFromText(DBDateCodec::formatDay({year, month, date}));
}

std::string text(const std::optional<platform::Date>& date) {
    return DBDateCodec::textFromDate(date).value_or("none");
}

// Everything the logbook keeps, field by field, in stored precision.
std::string logbook() {
    std::ostringstream out;
    out.precision(17);
    for (const Vehicle& car : DB::vehiclesWithServiceDueInDays(0, 0)) {
        out << "car [" << car.name << "] [" << car.licensePlate << "] [" << car.make << "] [" << car.model
            << "] " << car.year << " " << car.odometer << " [" << car.notes << "]\n";
        for (const Fillup& f : DB::storedFillupsForVehicle(car.vid))
            out << "  fill-up " << text(f.date) << " " << f.odometer << " " << f.quantity << " "
                << f.costPerUnit << " " << f.units << " " << f.type << " [" << f.notes << "]\n";
        for (const Repair& r : DB::allRepairsForVehicle(car))
            out << "  repair [" << r.name << "] " << text(r.datePerformed) << " " << r.odometer << " "
                << r.cost << " [" << r.notes << "]\n";
        for (const Service& s : DB::allServiceRecordsForVehicle(car.vid))
            out << "  service [" << s.name << "] " << s.frequencyInMiles << "/" << s.frequencyInMonths << " "
                << text(s.datePerformed) << " " << s.odometer << " " << s.cost << " [" << s.notes << "]\n";
    }
    return out.str();
}

void addFillup(int vid, std::optional<platform::Date> date, int odometer, double quantity, double price,
    int units, int type, const std::string& notes = "") {
    Fillup fillup;
    fillup.vehicleID = vid;
    fillup.date = date;
    fillup.odometer = odometer;
    fillup.quantity = quantity;
    fillup.costPerUnit = price;
    fillup.units = units;
    fillup.type = type;
    fillup.notes = notes;
    ASSERT_TRUE(DB::saveFillup(fillup, false));
}

// Three cars: one with every kind of record and awkward text, one whose fill-ups are in two
// fuel units, one with nothing recorded yet.
void makeThreeCars() {
    Vehicle daily;
    daily.name = "Daily, \"the red one\"";
    daily.licensePlate = "XY 123";
    daily.make = "Makerco";
    daily.model = "Hatch";
    daily.year = 2016;
    daily.odometer = 84400;
    daily.notes = "bought used\nsecond owner";
    ASSERT_TRUE(DB::saveVehicle(daily));
    addFillup(daily.vid, day(2024, 4, 21), 82905, 41.1, 1.77, kFuelLiter, kFillupFull, " leading space");
    addFillup(daily.vid, day(2024, 5, 2), 83350, 12.5, 1.78, kFuelLiter, kFillupPartial, "top-up, quick");
    addFillup(daily.vid, day(2024, 5, 10), 83610, 30.0000001, 1.779, kFuelLiter, kFillupFull);
    addFillup(daily.vid, day(2024, 5, 20), 84310, 38.2, 1.74, kFuelLiter, kFillupReset, "after \"holiday\"");
    Repair windscreen;
    windscreen.vehicleID = daily.vid;
    windscreen.name = "Windscreen";
    windscreen.datePerformed = day(2024, 3, 2);
    windscreen.odometer = 82000;
    windscreen.cost = 312.5;
    windscreen.notes = "stone chip; glass, seal";
    ASSERT_TRUE(DB::saveRepair(windscreen, false));
    Repair undated;
    undated.vehicleID = daily.vid;
    undated.name = "Mirror";
    ASSERT_TRUE(DB::saveRepair(undated, false));
    // The starter oil change, recorded twice; the other starter services stay not recorded.
    for (const Service& service : DB::serviceSummaryForVehicle(daily.vid)) {
        if (service.name != "Oil Change")
            continue;
        Service first = service;
        first.datePerformed = day(2023, 11, 4);
        first.odometer = 78000;
        first.cost = 89.9;
        ASSERT_TRUE(DB::saveVehicleService(first, false));
        Service second = first;
        second.vehicleServiceID = 0;
        second.datePerformed = day(2024, 5, 12);
        second.odometer = 83700;
        second.notes = "5W-30";
        ASSERT_TRUE(DB::saveVehicleService(second, false));
    }
    Service timingBelt;
    timingBelt.vehicleID = daily.vid;
    timingBelt.name = "Timing Belt";
    timingBelt.frequencyInMiles = 120000;
    timingBelt.frequencyInMonths = 60;
    ASSERT_TRUE(DB::saveService(timingBelt));

    Vehicle van;
    van.name = "Van";
    van.odometer = 20500;
    ASSERT_TRUE(DB::saveVehicle(van));
    addFillup(van.vid, day(2024, 1, 5), 20000, 15.5, 6.49, kFuelImperialGallon, kFillupFull);
    addFillup(van.vid, day(2024, 1, 19), 20480, 60.25, 1.429, kFuelLiter, kFillupFull, "litres this time");

    Vehicle project;
    project.name = "Project car";
    project.year = 1972;
    ASSERT_TRUE(DB::saveVehicle(project, false));
}

} // namespace

TEST(LogbookExportTest, ExportThenImportIntoAnEmptyVantrelGivesTheSameLogbook) {
    std::string archive;
    std::string kept;
    std::map<std::string, std::string> files;
    {
        FreshLogbook original;
        SettingsManager::sharedManager().setDistanceUnit(kDistanceKilometers);
        makeThreeCars();
        kept = logbook();
        files = LogbookExport::csvFiles();
        const std::string path = fs::joinPath(platform::Sandbox::temporaryDirectory(), "export.zip");
        fs::createDirectories(platform::Sandbox::temporaryDirectory());
        ASSERT_TRUE(LogbookExport::writeZip(path));
        archive = fs::readFile(path).value_or("");
    }

    // The layout: a header row with units, ISO dates, dot decimals, one pair of quantity and
    // price columns per fuel unit used.
    const auto fillups = CsvReader::parse(files.at(VantrelCsvLayout::kFillupsFile));
    EXPECT_EQ(fillups.front().fields,
        (std::vector<std::string> {"Vehicle ID", "Vehicle", "Date", "Odometer (km)", "Quantity (L)",
            "Price (per L)", "Quantity (Imp gal)", "Price (per Imp gal)", "Total Cost (USD)", "Type",
            "Notes"}));
    EXPECT_EQ(fillups[1].fields,
        (std::vector<std::string> {"1", "Daily, \"the red one\"", "2024-04-21", "82905", "41.1", "1.77", "",
            "", "72.75", "Full", " leading space"}));
    EXPECT_EQ(CsvReader::parse(files.at(VantrelCsvLayout::kVehiclesFile)).size(), 4u);
    EXPECT_EQ(CsvReader::parse(files.at(VantrelCsvLayout::kServicesFile))[1].fields[6], "2023-11-04");

    FreshLogbook another;
    ASSERT_EQ(SettingsManager::sharedManager().distanceUnit(), kDistanceMiles);
    const std::string path = fs::joinPath(platform::Sandbox::temporaryDirectory(), "vantrel-csv.zip");
    fs::createDirectories(platform::Sandbox::temporaryDirectory());
    ASSERT_TRUE(fs::writeFileAtomically(path, archive));
    std::string problem;
    const auto source = ImportSource::open(path, "vantrel-csv.zip", problem);
    ASSERT_TRUE(source) << problem;
    const ImportData data = LogbookImport::read(*source, {});
    EXPECT_EQ(data.format, ImportFormat::Vantrel);
    EXPECT_TRUE(data.exactLogbook);
    EXPECT_TRUE(data.problems.empty());
    ASSERT_EQ(data.vehicles.size(), 3u);
    const ImportPlan plan(data, {}, ImportPlan::defaultTargets(data));
    EXPECT_TRUE(plan.adoptsUnits());
    ASSERT_TRUE(plan.commit());
    EXPECT_EQ(logbook(), kept);
    EXPECT_EQ(SettingsManager::sharedManager().distanceUnit(), kDistanceKilometers);

    // Imported again, the export finds every row in place.
    const ImportPlan again(data, {}, ImportPlan::defaultTargets(data));
    EXPECT_EQ(again.counts().total(), 0);
    ASSERT_TRUE(again.commit());
    EXPECT_EQ(logbook(), kept);
}
