#include "data/DBTestSupport.h"

using namespace vantrel::test;

namespace {

std::vector<Fillup> load(const Vehicle& vehicle, int unit = kFuelUSGallon, int period = 6) {
    return DB::fillupsForVehicle(vehicle, unit, kDistanceMiles, period);
}

} // namespace

TEST_F(DBTest, TanksAttributeDistanceAndFuelAcrossFullPartialAndReset) {
    struct Entry {
        int odometer;
        double quantity;
        int type;
        int distance; // expected after loading
        double fuel;
    };
    const std::vector<std::vector<Entry>> cases = {
        {{1000, 40, kFillupFull, 400, 35}, {1400, 35, kFillupFull, 0, 0}},
        {{1000, 40, kFillupFull, 500, 35}, {1200, 10, kFillupPartial, 500, 35},
            {1500, 25, kFillupFull, 0, 0}},
        {{1000, 40, kFillupFull, 0, 1}, {1300, 20, kFillupReset, 300, 30}, {1600, 30, kFillupFull, 0, 0}},
        {{1000, 40, kFillupFull, 0, 0}},
    };
    for (size_t c = 0; c < cases.size(); ++c) {
        Vehicle car = newVehicle("Car " + std::to_string(c));
        for (size_t i = 0; i < cases[c].size(); ++i) {
            const Entry& entry = cases[c][i];
            fillupAt(car.vid, localDate(2024, 5, 1 + static_cast<int>(i)), entry.odometer, entry.quantity,
                entry.type);
        }
        auto fillups = load(car);
        ASSERT_EQ(fillups.size(), cases[c].size());
        for (size_t i = 0; i < fillups.size(); ++i) {
            EXPECT_EQ(fillups[i].distance, cases[c][i].distance) << "case " << c << " fill-up " << i;
            EXPECT_DOUBLE_EQ(fillups[i].refuelQuantity, cases[c][i].fuel) << "case " << c << " fill-up " << i;
            EXPECT_TRUE(fillups[i].isValid);
            EXPECT_EQ(fillups[i].distanceUnit, kDistanceMiles);
        }
    }
}

TEST_F(DBTest, LoadingConvertsUnitsAndLeavesTheStoredRowAlone) {
    Vehicle car = newVehicle("Car");
    Fillup stored = fillupAt(car.vid, localDate(2024, 5, 1), 1000, 10, kFillupFull, 3.0, kFuelUSGallon);
    auto litres = load(car, kFuelLiter);
    ASSERT_EQ(litres.size(), 1u);
    EXPECT_EQ(litres[0].units, kFuelLiter);
    EXPECT_FLOAT_EQ(static_cast<float>(litres[0].quantity), 37.8541178f);
    EXPECT_FLOAT_EQ(static_cast<float>(litres[0].costPerUnit), 0.792516156f);
    EXPECT_EQ(sql("SELECT Quantity || ' ' || CostPerUnit || ' ' || Units FROM Fillup"), "10.0 3.0 1");
    auto gallons = load(car);
    EXPECT_DOUBLE_EQ(gallons[0].quantity, 10);
    EXPECT_EQ(gallons[0].fillupID, stored.fillupID);
}

TEST_F(DBTest, AReadingBelowThePreviousOneIsMarkedInvalid) {
    Vehicle car = newVehicle("Car");
    fillupAt(car.vid, localDate(2024, 5, 1), 1000, 40);
    fillupAt(car.vid, localDate(2024, 5, 5), 10400, 40); // a digit too many
    fillupAt(car.vid, localDate(2024, 5, 10), 1800, 40);
    fillupAt(car.vid, localDate(2024, 5, 15), 1800, 40);
    auto fillups = load(car);
    ASSERT_EQ(fillups.size(), 4u);
    EXPECT_TRUE(fillups[0].isValid);
    EXPECT_TRUE(fillups[1].isValid);
    EXPECT_FALSE(fillups[2].isValid);
    EXPECT_TRUE(fillups[3].isValid) << "an equal reading is not lower";
    EXPECT_EQ(fillups[1].distance, 1800 - 10400) << "the attribution itself is unchanged";
}

TEST_F(DBTest, PeriodFiltersCountBackFromTheClocksToday) {
    // Clock: 2024-06-15 12:00.
    Vehicle car = newVehicle("Car");
    fillupAt(car.vid, localDate(2023, 6, 14), 100, 1);
    fillupAt(car.vid, localDate(2023, 6, 15), 200, 1);
    fillupAt(car.vid, localDate(2024, 5, 15), 300, 1);
    fillupAt(car.vid, localDate(2024, 6, 8), 400, 1);
    fillupAt(car.vid, localDate(2024, 6, 15), 500, 1);
    fillupAt(car.vid, localDate(2024, 6, 16), 600, 1); // dated tomorrow
    auto odometers = [&](int period) {
        std::vector<int> readings;
        for (const Fillup& fillup : load(car, kFuelUSGallon, period))
            readings.push_back(fillup.odometer);
        return readings;
    };
    EXPECT_EQ(odometers(1), (std::vector<int> {400, 500}));
    EXPECT_EQ(odometers(2), (std::vector<int> {300, 400, 500}));
    EXPECT_EQ(odometers(5), (std::vector<int> {200, 300, 400, 500}));
    for (int whole : {6, 0, 9})
        EXPECT_EQ(odometers(whole).size(), 6u) << whole;

    // Midnight moves the window.
    platform::Clock::setNow(localDate(2024, 6, 16, 0, 0));
    EXPECT_EQ(odometers(1), (std::vector<int> {500, 600}));
    platform::Clock::setNow(localDate(2024, 6, 15, 23, 59));
    EXPECT_EQ(odometers(1), (std::vector<int> {400, 500}));
}

TEST_F(DBTest, GarbageInADateColumnReadsAsNoDate) {
    Vehicle car = newVehicle("Car");
    fillupAt(car.vid, localDate(2024, 5, 1), 1000, 40);
    sql("UPDATE Fillup SET Date = 'not a date'");
    auto fillups = load(car);
    ASSERT_EQ(fillups.size(), 1u);
    EXPECT_FALSE(fillups[0].date);
    sql("UPDATE Fillup SET Date = '2024-02-30'");
    EXPECT_FALSE(load(car)[0].date);
}
