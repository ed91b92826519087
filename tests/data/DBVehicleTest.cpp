#include "data/DBTestSupport.h"

using namespace vantrel::test;
namespace fs = platform::fs;

TEST_F(DBTest, SavingANewVehicleAssignsItsIDAndStarterServicesOnce) {
    Vehicle car;
    car.name = "Daily";
    car.licensePlate = "O'NEIL 1";
    car.make = "Honda";
    car.model = "Civic";
    car.year = 2015;
    car.odometer = 61000;
    car.notes = "Blue";
    ASSERT_TRUE(DB::saveVehicle(car));
    int vid = car.vid;
    EXPECT_GT(vid, 0);

    EXPECT_EQ(DB::serviceSummaryForVehicle(vid).size(), 5u);

    car.name = "Daily driver";
    car.year = 2016;
    EXPECT_TRUE(DB::saveVehicle(car));
    EXPECT_EQ(car.vid, vid);
    EXPECT_EQ(DB::serviceSummaryForVehicle(vid).size(), 5u) << "an update adds no services";
    Vehicle stored = DB::getVehicleWithID(vid);
    EXPECT_EQ(stored.name, "Daily driver");
    EXPECT_EQ(stored.licensePlate, "O'NEIL 1");
    EXPECT_EQ(stored.make, "Honda");
    EXPECT_EQ(stored.model, "Civic");
    EXPECT_EQ(stored.year, 2016);
    EXPECT_EQ(stored.odometer, 61000);
    EXPECT_EQ(stored.notes, "Blue");
    EXPECT_EQ(count("Vehicle"), 1);
}

TEST_F(DBTest, EachVehicleGetsItsOwnServiceTypes) {
    Vehicle first = newVehicle("First");
    Vehicle second = newVehicle("Second");
    Service oil = DB::serviceSummaryForVehicle(first.vid).at(3);
    ASSERT_EQ(oil.name, "Oil Change");
    oil.frequencyInMiles = 3000;
    DB::saveService(oil);
    EXPECT_EQ(DB::serviceSummaryForVehicle(first.vid).at(3).frequencyInMiles, 3000);
    EXPECT_EQ(DB::serviceSummaryForVehicle(second.vid).at(3).frequencyInMiles, 5000);
    EXPECT_EQ(DB::getVehicleWithID(first.vid).odometer, 10000) << "the not-recorded row's 0 lowers nothing";
}

TEST_F(DBTest, UnknownVehicleReadsAsAnEmptyRecord) {
    Vehicle missing = DB::getVehicleWithID(42);
    EXPECT_EQ(missing.vid, 0);
    EXPECT_EQ(missing.name, "");
}

TEST_F(DBTest, OdometerUpdatesOnlyRaiseTheReading) {
    Vehicle car = newVehicle("Car", 50000);
    DB::updateOdometer(50500, car.vid);
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 50500);
    DB::updateOdometer(40000, car.vid);
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 50500)
        << "an old record entered late keeps the reading";
    car.odometer = 45000;
    DB::saveVehicle(car);
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 45000) << "the editor may correct it downwards";
}

TEST_F(DBTest, DeletingAVehicleLeavesNoRowsBehind) {
    Vehicle kept = newVehicle("Kept");
    Vehicle gone = newVehicle("Gone");
    for (const Vehicle& vehicle : {kept, gone}) {
        Service service = DB::serviceSummaryForVehicle(vehicle.vid).front();
        service.datePerformed = localDate(2024, 1, 1);
        DB::saveVehicleService(service, false);
        service.vehicleServiceID = 0;
        DB::saveVehicleService(service, false);
        Repair repair;
        repair.vehicleID = vehicle.vid;
        repair.name = "Fix";
        DB::saveRepair(repair, false);
        Fillup fillup;
        fillup.vehicleID = vehicle.vid;
        fillup.date = localDate(2024, 2, 1);
        DB::saveFillup(fillup, false);
    }
    fs::writeFileAtomically(gone.pictureFile(), "png");
    int servicesBefore = count("Service");

    DB::deleteVehicle(gone.vid);

    EXPECT_FALSE(fs::fileExists(gone.pictureFile()));
    EXPECT_EQ(count("Vehicle"), 1);
    EXPECT_EQ(count("Service"), servicesBefore / 2);
    for (const char* table : {"VehicleService", "Repair", "Fillup"})
        EXPECT_EQ(sql(std::string("SELECT COUNT(*) FROM ") + table
                      + " WHERE VehicleID = " + std::to_string(gone.vid)),
            "0")
            << table;
    EXPECT_EQ(
        sql("SELECT COUNT(*) FROM Service WHERE ServiceID NOT IN (SELECT ServiceID FROM VehicleService)"),
        "0");
    EXPECT_EQ(DB::serviceSummaryForVehicle(kept.vid).size(), 5u);
    EXPECT_EQ(count("Repair"), 1);
    EXPECT_EQ(count("Fillup"), 1);

    DB::deleteVehicle(kept.vid); // no picture file: nothing to report
    EXPECT_EQ(count("Vehicle"), 0);
    Vehicle next = newVehicle("Next");
    EXPECT_GT(next.vid, gone.vid) << "identifiers are not reused";
}
