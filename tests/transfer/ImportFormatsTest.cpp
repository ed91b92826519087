#include <gtest/gtest.h>

#include <sqlite3.h>

#include "QLCoreLibrary/DBHelper.h"
#include "data/DBDateCodec.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "transfer/ImportSamples.h"
#include "transfer/ImportTestSupport.h"

using namespace vantrel::test;

namespace {

std::vector<int> storedTypes(int vid) {
    std::vector<int> types;
    for (const Fillup& fillup : DB::storedFillupsForVehicle(vid))
        types.push_back(fillup.type);
    return types;
}

Vehicle onlyCar() {
    const auto cars = DB::vehiclesWithServiceDueInDays(0, 0);
    return cars.size() == 1 ? cars.front() : Vehicle();
}

} // namespace

// Each source's layout, read and stored into an empty logbook: what it holds, the units it
// states, the fill-up types in date order, and the economy of the first full-to-full tank as
// computed by hand from the file.
TEST(ImportFormatsTest, EachSourceLayoutImportsWithItsCountsUnitsTypesAndEconomy) {
    constexpr int F = kFillupFull, P = kFillupPartial, R = kFillupReset;
    struct Case {
        const char* name;
        const char* text;
        ImportFormat format;
        int fillups, repairs, services, otherCosts;
        std::optional<int> distanceUnit, fuelUnit;
        std::vector<int> types;
        // The first tank: fuel unit and distance unit to load in, economy code, expected.
        int fuelUnitShown, distanceUnitShown, economyCode;
        double economy;
    };
    const std::vector<Case> cases {
        {"fuelups.csv", samples::kFuellyFuelups, ImportFormat::Fuelly, 4, 0, 0, 0, kDistanceMiles,
            kFuelUSGallon, {F, P, F, R}, kFuelUSGallon, kDistanceMiles, 0, 320.0 / 15.0},
        {"services.csv", samples::kFuellyServices, ImportFormat::Fuelly, 0, 1, 0, 1, std::nullopt,
            std::nullopt, {}, 0, 0, 0, 0},
        {"car1-20240521.csv", samples::kFuelio, ImportFormat::Fuelio, 4, 0, 1, 1, kDistanceKilometers,
            kFuelLiter, {F, P, F, R}, kFuelLiter, kDistanceKilometers, 3, 705.0 / 42.5},
        {"drivvo.csv", samples::kDrivvo, ImportFormat::Drivvo, 3, 1, 0, 1, kDistanceKilometers, kFuelLiter,
            {F, P, F}, kFuelLiter, kDistanceKilometers, 3, 1100.0 / 50.0},
        {"Fuel.csv", samples::kLubeLoggerFuel, ImportFormat::LubeLogger, 3, 0, 0, 0, std::nullopt,
            std::nullopt, {F, P, F}, kFuelUSGallon, kDistanceMiles, 0, 320.0 / 10.2},
        {"Repairs.csv", samples::kLubeLoggerRepairs, ImportFormat::LubeLogger, 0, 1, 0, 0, std::nullopt,
            std::nullopt, {}, 0, 0, 0, 0},
        {"fuel-log.csv", samples::kPlainTable, ImportFormat::Generic, 3, 0, 0, 0, std::nullopt, kFuelLiter,
            {F, P, F}, kFuelLiter, kDistanceMiles, 2, 870.0 / 40.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshLogbook logbook;
        const ImportData data = readText(c.name, c.text);
        ASSERT_EQ(data.format, c.format);
        EXPECT_TRUE(data.problems.empty()) << data.problems.front().message;
        ASSERT_EQ(data.vehicles.size(), 1u);
        const ImportedVehicle& car = data.vehicles.front();
        EXPECT_EQ(int(car.fillups.size()), c.fillups);
        EXPECT_EQ(int(car.repairs.size()), c.repairs);
        EXPECT_EQ(int(car.services.size()), c.services);
        EXPECT_EQ(car.otherCosts, c.otherCosts);
        EXPECT_EQ(data.distanceUnit, c.distanceUnit);
        EXPECT_EQ(data.fuelUnit, c.fuelUnit);

        const auto stored = importData(data);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->fillups, c.fillups);
        const Vehicle vehicle = onlyCar();
        EXPECT_EQ(storedTypes(vehicle.vid), c.types);
        if (c.fillups == 0)
            continue;
        // A file in kilometres and litres, into a logbook without cars, brings its units along.
        EXPECT_EQ(SettingsManager::sharedManager().distanceUnit(), c.distanceUnit.value_or(kDistanceMiles));
        const auto loaded = DB::fillupsForVehicle(vehicle, c.fuelUnitShown, c.distanceUnitShown, 6);
        ASSERT_EQ(int(loaded.size()), c.fillups);
        EXPECT_NEAR(loaded.front().economyWithUnit(c.economyCode), c.economy, 0.001);
        EXPECT_EQ(vehicle.odometer, DB::storedFillupsForVehicle(vehicle.vid).back().odometer);
    }
}

TEST(ImportFormatsTest, WhatEachFormatCarriesBesidesTheNumbers) {
    FreshLogbook logbook;
    const ImportData fuelly = readText("fuelups.csv", samples::kFuellyFuelups);
    const ImportedVehicle& wagon = fuelly.vehicles.front();
    EXPECT_EQ(wagon.name, "Blue wagon");
    EXPECT_EQ(wagon.model, "Estate 2.0");
    EXPECT_TRUE(fuelly.gallonsUnclear) << "\"gallons\" says neither US nor Imperial";
    EXPECT_EQ(wagon.fillups.front().notes, "after a trip abroad\nStation: Hilltop");
    EXPECT_DOUBLE_EQ(wagon.fillups.front().costPerUnit, 3.459);

    const ImportData services = readText("services.csv", samples::kFuellyServices);
    EXPECT_EQ(services.vehicles.front().repairs.front().name, "Engine Oil, Oil Filter");
    EXPECT_DOUBLE_EQ(services.vehicles.front().repairs.front().cost, 71.40);

    const ImportData fuelio = readText("car1.csv", samples::kFuelio);
    const ImportedVehicle& hatch = fuelio.vehicles.front();
    EXPECT_EQ(hatch.licensePlate, "AB-12-CD");
    EXPECT_EQ(hatch.make, "Makerco");
    EXPECT_EQ(hatch.year, 2017);
    const ImportedService& inspection = hatch.services.front();
    EXPECT_EQ(inspection.name, "Inspection");
    EXPECT_EQ(inspection.intervalDistance, 15000);
    EXPECT_EQ(inspection.intervalMonths, 12);
    EXPECT_EQ(inspection.notes, "brakes checked\nfilter changed");
    // The per-unit price is Fuelio's VolumePrice; its "Price" is the total.
    EXPECT_DOUBLE_EQ(hatch.fillups[1].costPerUnit, 1.78);

    // Drivvo's two service rows of one visit are one repair.
    const ImportData drivvo = readText("drivvo.csv", samples::kDrivvo);
    const ImportedRepair& visit = drivvo.vehicles.front().repairs.front();
    EXPECT_EQ(visit.name, "Oil change, Oil filter");
    EXPECT_DOUBLE_EQ(visit.cost, 70);
    EXPECT_EQ(visit.notes, "Workshop: Garage North");

    // LubeLogger's amounts carry the server's currency; its own columns go into the notes.
    const ImportData repairs = readText("Repairs.csv", samples::kLubeLoggerRepairs);
    EXPECT_EQ(repairs.currency, "$");
    EXPECT_DOUBLE_EQ(repairs.vehicles.front().repairs.front().cost, 1204);
    EXPECT_EQ(
        repairs.vehicles.front().repairs.front().notes, "front axle\nTags: brakes\nWorkshop: Corner Garage");

    // The Fuelio service keeps its interval; stored, it is a service of the car.
    ASSERT_TRUE(importData(fuelio));
    const auto recorded = DB::allServiceRecordsForVehicle(onlyCar().vid);
    const auto found = std::find_if(recorded.begin(), recorded.end(),
        [](const Service& service) { return service.name == "Inspection"; });
    ASSERT_NE(found, recorded.end());
    EXPECT_EQ(found->frequencyInMiles, 15000);
    EXPECT_EQ(found->frequencyInMonths, 12);
    EXPECT_EQ(DBDateCodec::textFromDate(found->datePerformed), "2024-05-12");
}

TEST(ImportFormatsTest, DecimalCommasAndDayFirstDatesAreReadAsTheFileMeansThem) {
    FreshLogbook logbook;
    const ImportData german = readText("Fuel.csv", samples::kLubeLoggerGerman);
    EXPECT_EQ(german.decimalMark, DecimalMark::Comma);
    EXPECT_EQ(german.dateOrder, DateOrder::DayFirst);
    EXPECT_FALSE(german.dateOrderUnclear) << "16.03.2024 settles it";
    ASSERT_TRUE(german.problems.empty());
    ASSERT_TRUE(importData(german));
    const auto stored = DB::storedFillupsForVehicle(onlyCar().vid);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(DBDateCodec::textFromDate(stored[0].date), "2024-03-04");
    EXPECT_EQ(DBDateCodec::textFromDate(stored[1].date), "2024-03-16");
    EXPECT_DOUBLE_EQ(stored[0].quantity, 41.2);
    EXPECT_NEAR(stored[0].quantity * stored[0].costPerUnit, 72.51, 1e-9);
    EXPECT_EQ(stored[1].notes, "Autobahn, Regen");

    // Semicolons, decimal commas and dates that read either way: the device's order is assumed
    // and said to be, until the person chooses.
    const std::string table = "Datum;Kilometerstand;Liter;Preis pro Liter;Betrag\n"
                              "03/04/2024;1000;40,5;1,799;72,86\n"
                              "05/04/2024;1400;31,25;1,809;56,53\n";
    const ImportData open = readText("tank.csv", table);
    ASSERT_EQ(open.format, ImportFormat::Generic);
    EXPECT_EQ(open.decimalMark, DecimalMark::Comma);
    EXPECT_TRUE(open.dateOrderUnclear);
    EXPECT_EQ(open.dateOrder, DateOrder::MonthFirst) << "en_US writes the month first";
    ImportOptions dayFirst;
    dayFirst.dateOrder = DateOrder::DayFirst;
    const ImportData chosen = readText("tank.csv", table, dayFirst);
    EXPECT_EQ(chosen.vehicles.front().fillups[1].date->month, 4);
    EXPECT_EQ(chosen.vehicles.front().fillups[1].date->day, 5);
    EXPECT_DOUBLE_EQ(chosen.vehicles.front().fillups[1].quantity, 31.25);
}

TEST(ImportFormatsTest, AFileOfNoKnownFormatIsNotRecognised) {
    for (const char* text : {"name,age\nAnn,32\n",
             "Metadata\n\"Android Version\",\"Export Version\"\n\"14\",\"11\"\n", "just a note\n", ""}) {
        EXPECT_EQ(readText("file.csv", text).format, ImportFormat::Unknown) << text;
    }
    bool converted = false;
    EXPECT_FALSE(ImportSource::decode(std::string("PNG\0\x01\x02", 6), converted));
}

TEST(ImportFormatsTest, MalformedRowsAreListedWithTheirLinesAndTheRestImports) {
    FreshLogbook logbook;
    // The quoted note over two lines puts the rows after it one line further down.
    const std::string table = "Date,Odometer,Litres,Price per litre,Total,Full,Notes\n"
                              "2024-02-01,15230,40.5,1.689,68.40,yes,\"first\n"
                              "of many\"\n"
                              "2024-02-15,15x10,18.0,1.709,30.76,no,\n"
                              "2024-02-30,15900,22.0,1.719,37.82,yes,\n"
                              "2024-03-02,16100,,1.719,0,yes,\n"
                              "2024-03-12,16500,30.0,1.729,51.87,maybe,\n"
                              "2024-03-20,16900,31.0,1.739,53.91,yes,\n";
    const ImportData data = readText("fuel.csv", table);
    ASSERT_EQ(data.problems.size(), 4u);
    EXPECT_EQ(data.problems[0].line, 4);
    EXPECT_EQ(data.problems[0].message, "The odometer reading \"15x10\" is not a number Vantrel can read.");
    EXPECT_EQ(data.problems[1].line, 5);
    EXPECT_EQ(data.problems[1].message, "The date \"2024-02-30\" is not a date Vantrel can read.");
    EXPECT_EQ(data.problems[2].line, 6);
    EXPECT_EQ(data.problems[2].message, "No quantity of fuel.");
    EXPECT_EQ(data.problems[3].line, 7);
    ASSERT_EQ(data.vehicles.front().fillups.size(), 2u);
    EXPECT_EQ(data.vehicles.front().fillups.front().notes, "first\nof many");
    const auto stored = importData(data);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->fillups, 2);
}

TEST(ImportFormatsTest, ImportingTheSameFilesAgainAddsNothingAndAnImportIsAllOrNothing) {
    FreshLogbook logbook;
    ASSERT_EQ(importText("fuelups.csv", samples::kFuellyFuelups)->fillups, 4);
    ASSERT_EQ(importText("services.csv", samples::kFuellyServices)->repairs, 1)
        << "into the same car, by name";
    ASSERT_EQ(DB::vehiclesWithServiceDueInDays(0, 0).size(), 1u);

    for (const char* text : {samples::kFuellyFuelups, samples::kFuellyServices}) {
        const ImportData again = readText("again.csv", text);
        const ImportPlan plan(again, {}, ImportPlan::defaultTargets(again));
        EXPECT_EQ(plan.counts().total(), 0);
        EXPECT_EQ(plan.counts().duplicates, text == samples::kFuellyFuelups ? 4 : 1);
        ASSERT_TRUE(plan.commit());
    }
    const Vehicle wagon = onlyCar();
    EXPECT_EQ(DB::storedFillupsForVehicle(wagon.vid).size(), 4u);
    EXPECT_EQ(DB::allRepairsForVehicle(wagon).size(), 1u);
    EXPECT_EQ(wagon.odometer, 31950);

    // The store refuses the last fill-up of a file: nothing of the file stays, not even its car.
    sqlite3_exec(DB::helper()->database(),
        "CREATE TEMP TRIGGER Refuse BEFORE INSERT ON Fillup WHEN NEW.Quantity = 38.2 "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END",
        nullptr, nullptr, nullptr);
    EXPECT_FALSE(importText("car1.csv", samples::kFuelio));
    EXPECT_EQ(DB::vehiclesWithServiceDueInDays(0, 0).size(), 1u);
    EXPECT_EQ(DB::helper()->beginQuery("SELECT COUNT(*) FROM Fillup") ? DB::helper()->executeInt() : -1, 4);
    // The connection is usable afterwards: the transaction was ended.
    EXPECT_TRUE(DB::beginTransaction());
    DB::rollbackTransaction();
}
