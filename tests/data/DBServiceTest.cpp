#include "data/DBTestSupport.h"

using namespace vantrel::test;

namespace {

Service serviceNamed(int vid, const std::string& name) {
    for (const Service& service : DB::serviceSummaryForVehicle(vid)) {
        if (service.name == name)
            return service;
    }
    return {};
}

} // namespace

TEST_F(DBTest, SaveServiceWithAPerformanceMovesTheOdometer) {
    Vehicle car = newVehicle("Car", 20000);
    Service service = serviceNamed(car.vid, "Oil Change");
    service.datePerformed = localDate(2024, 6, 1);
    service.odometer = 21000;
    service.name = "Oil & Filter";
    DB::saveService(service);
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 21000);
    Service stored = DB::lastService(service.serviceID, car.vid);
    EXPECT_EQ(stored.name, "Oil & Filter");
    EXPECT_EQ(stored.datePerformed, localDate(2024, 6, 1));
}

TEST_F(DBTest, RecordingPerformancesComputesTheDueValuesFromTheLatest) {
    Vehicle car = newVehicle("Car", 30000);
    Service oil = serviceNamed(car.vid, "Oil Change"); // 5000 / 6 months

    // The first performance fills the not-recorded row.
    Service first = oil.copy();
    first.datePerformed = localDate(2023, 8, 31, 9, 30);
    first.odometer = 25000;
    first.cost = 39.99;
    first.notes = "synthetic";
    DB::saveVehicleService(first, true);
    EXPECT_EQ(first.vehicleServiceID, oil.vehicleServiceID);
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 30000) << "a lower reading is kept out";

    Service second = oil.copy();
    second.vehicleServiceID = 0;
    second.datePerformed = localDate(2024, 2, 29);
    second.odometer = 29500;
    second.cost = 45;
    DB::saveVehicleService(second, true);
    EXPECT_NE(second.vehicleServiceID, first.vehicleServiceID);

    // An older performance entered afterwards does not become the latest.
    Service late = oil.copy();
    late.vehicleServiceID = 0;
    late.datePerformed = localDate(2023, 2, 28);
    late.odometer = 20000;
    DB::saveVehicleService(late, false);

    Service latest = DB::lastService(oil.serviceID, car.vid);
    EXPECT_EQ(latest.vehicleServiceID, second.vehicleServiceID);
    EXPECT_EQ(latest.datePerformed, localDate(2024, 2, 29));
    EXPECT_EQ(latest.dueMiles, 34500);
    EXPECT_EQ(latest.dueDate, localDate(2024, 8, 29));
    EXPECT_EQ(latest.currentOdometer, 30000);
    EXPECT_EQ(latest.milesRemaining(), 4500);
    EXPECT_DOUBLE_EQ(latest.cost, 45);

    auto history = DB::serviceHistoryForVehicle(car.vid, oil.serviceID);
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].datePerformed, localDate(2024, 2, 29)) << "newest first";
    EXPECT_EQ(history[1].datePerformed, localDate(2023, 8, 31));
    EXPECT_EQ(history[1].notes, "synthetic");
    EXPECT_EQ(history[1].dueDate, localDate(2024, 2, 29)) << "Aug 31 + 6 months is the last day of February";
    EXPECT_EQ(history[2].datePerformed, localDate(2023, 2, 28));

    Service byID = DB::vehicleServiceWithID(first.vehicleServiceID);
    EXPECT_EQ(byID.odometer, 25000);
    EXPECT_DOUBLE_EQ(byID.cost, 39.99);
    EXPECT_EQ(byID.dueMiles, 30000);

    // Correcting a performance updates it in place.
    byID.odometer = 25100;
    DB::saveVehicleService(byID, false);
    EXPECT_EQ(DB::vehicleServiceWithID(first.vehicleServiceID).odometer, 25100);
    EXPECT_EQ(DB::serviceHistoryForVehicle(car.vid, oil.serviceID).size(), 3u);
}

TEST_F(DBTest, DeletingTheOnlyRecordResetsItAndEarlierOnesAreDeleted) {
    Vehicle car = newVehicle("Car");
    Service oil = serviceNamed(car.vid, "Oil Change");
    Service first = oil.copy();
    first.datePerformed = localDate(2024, 1, 5);
    first.odometer = 9000;
    first.cost = 30;
    first.notes = "note";
    DB::saveVehicleService(first, false);
    Service second = oil.copy();
    second.vehicleServiceID = 0;
    second.datePerformed = localDate(2024, 5, 5);
    DB::saveVehicleService(second, false);

    DB::deleteVehicleService(second);
    auto history = DB::serviceHistoryForVehicle(car.vid, oil.serviceID);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].vehicleServiceID, first.vehicleServiceID);

    DB::deleteVehicleService(first);
    EXPECT_TRUE(DB::serviceHistoryForVehicle(car.vid, oil.serviceID).empty());
    Service reset = DB::lastService(oil.serviceID, car.vid);
    EXPECT_EQ(reset.vehicleServiceID, first.vehicleServiceID) << "the service stays on the vehicle";
    EXPECT_FALSE(reset.datePerformed);
    EXPECT_EQ(reset.odometer, 0);
    EXPECT_EQ(reset.cost, 0);
    EXPECT_EQ(reset.notes, "");
    EXPECT_EQ(DB::serviceSummaryForVehicle(car.vid).size(), 5u);
}

TEST_F(DBTest, DeletingAServiceHistoryRemovesTheServiceFromTheVehicle) {
    Vehicle car = newVehicle("Car");
    Service oil = serviceNamed(car.vid, "Oil Change");
    Service performed = oil.copy();
    performed.datePerformed = localDate(2024, 1, 5);
    DB::saveVehicleService(performed, false);
    int servicesBefore = count("Service");
    DB::deleteVehicleServiceHistory(car.vid, oil.serviceID);
    EXPECT_EQ(DB::serviceSummaryForVehicle(car.vid).size(), 4u);
    EXPECT_EQ(serviceNamed(car.vid, "Oil Change").serviceID, 0);
    EXPECT_EQ(count("Service"), servicesBefore - 1) << "the type left with its rows";
}

TEST_F(DBTest, TheLatestPerformanceFollowsCorrectionsAndDeletions) {
    Vehicle car = newVehicle("Car");
    Service oil = serviceNamed(car.vid, "Oil Change");
    Service a = oil.copy();
    a.datePerformed = localDate(2024, 1, 1);
    DB::saveVehicleService(a, false);
    Service b = oil.copy();
    b.vehicleServiceID = 0;
    b.datePerformed = localDate(2024, 3, 1);
    DB::saveVehicleService(b, false);
    Service c = oil.copy();
    c.vehicleServiceID = 0;
    c.datePerformed = localDate(2024, 3, 1); // same day: the later entry counts
    DB::saveVehicleService(c, false);
    EXPECT_EQ(DB::lastService(oil.serviceID, car.vid).vehicleServiceID, c.vehicleServiceID);

    c.datePerformed = localDate(2023, 1, 1);
    DB::saveVehicleService(c, false);
    EXPECT_EQ(DB::lastService(oil.serviceID, car.vid).vehicleServiceID, b.vehicleServiceID);

    DB::deleteVehicleService(b);
    EXPECT_EQ(DB::lastService(oil.serviceID, car.vid).vehicleServiceID, a.vehicleServiceID);
    EXPECT_EQ(DB::serviceSummaryForVehicle(car.vid).size(), 5u);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM VehicleServiceLatest"), "5");
}
