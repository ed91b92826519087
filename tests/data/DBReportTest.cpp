#include "data/DBTestSupport.h"

using namespace vantrel::test;

namespace {

void addRepair(int vid, std::optional<platform::Date> date, double cost) {
    Repair repair;
    repair.vehicleID = vid;
    repair.name = "Repair";
    repair.datePerformed = date;
    repair.cost = cost;
    DB::saveRepair(repair, false);
}

void perform(int vid, const std::string& name, platform::Date date, double cost) {
    for (Service service : DB::serviceSummaryForVehicle(vid)) {
        if (service.name != name)
            continue;
        if (service.datePerformed)
            service.vehicleServiceID = 0;
        service.datePerformed = date;
        service.cost = cost;
        DB::saveVehicleService(service, false);
    }
}

class DBReportTest : public DBTest {
protected:
    void SetUp() override {
        DBTest::SetUp();
        // Clock: 2024-06-15 12:00. Three full tanks of 10 US gallons at 3.00, 300 miles apart.
        m_car = newVehicle("Car", 1000);
        fillupAt(m_car.vid, localDate(2024, 6, 1), 1000, 10);
        fillupAt(m_car.vid, localDate(2024, 6, 5), 1300, 10);
        fillupAt(m_car.vid, localDate(2024, 6, 10), 1600, 10);
        m_other = newVehicle("Other", 5000);
        fillupAt(m_other.vid, localDate(2024, 6, 3), 5000, 40, kFillupFull, 1.0, kFuelLiter);
    }

    Vehicle m_car;
    Vehicle m_other;
    DB::OptionalDate m_first;
    DB::OptionalDate m_last;
};

} // namespace

TEST_F(DBReportTest, FuelPricesIncludeEveryVehicleConverted) {
    auto prices = DB::fuelPricesReport(m_car, 6, kFuelUSGallon, m_first, m_last);
    ASSERT_EQ(prices.size(), 4u);
    EXPECT_FLOAT_EQ(prices[0], 3.0f);
    EXPECT_FLOAT_EQ(prices[1], static_cast<float>(1.0 * kUSGallonsToLiters))
        << "the other car's litre price per gallon";
    EXPECT_EQ(m_first, localDate(2024, 6, 1));
    EXPECT_EQ(m_last, localDate(2024, 6, 10));
}

TEST_F(DBReportTest, ExpenseSeriesWithTheirDates) {
    addRepair(m_car.vid, localDate(2024, 6, 2), 100);
    addRepair(m_car.vid, std::nullopt, 999);
    perform(m_car.vid, "Oil Change", localDate(2024, 5, 20), 40);
    addRepair(m_car.vid, localDate(2023, 1, 1), 55);

    auto fuel = DB::fuelExpensesReport(m_car, 6, m_first, m_last);
    EXPECT_EQ(fuel, (std::vector<float> {30, 30, 30}));

    auto repairs = DB::repairExpensesReport(m_car, 6, m_first, m_last);
    EXPECT_EQ(repairs, (std::vector<float> {55, 100})) << "undated repairs are no expense on the chart";
    EXPECT_EQ(m_first, localDate(2023, 1, 1));
    EXPECT_EQ(m_last, localDate(2024, 6, 2));

    auto services = DB::serviceExpensesReport(m_car, 6, m_first, m_last);
    EXPECT_EQ(services, (std::vector<float> {40})) << "services never performed add nothing";
    EXPECT_EQ(m_first, localDate(2024, 5, 20));
    EXPECT_EQ(m_last, localDate(2024, 5, 20));

    auto total = DB::totalExpensesReport(m_car, 6, m_first, m_last);
    EXPECT_EQ(total, (std::vector<float> {55, 40, 30, 100, 30, 30}));
    EXPECT_EQ(m_first, localDate(2023, 1, 1));
    EXPECT_EQ(m_last, localDate(2024, 6, 10));

    auto lastMonth = DB::totalExpensesReport(m_car, 2, m_first, m_last);
    EXPECT_EQ(lastMonth, (std::vector<float> {40, 30, 100, 30, 30}));
    EXPECT_EQ(m_first, localDate(2024, 5, 20));

    auto lastWeek = DB::repairExpensesReport(m_car, 1, m_first, m_last);
    EXPECT_TRUE(lastWeek.empty());
    EXPECT_FALSE(m_first);
    EXPECT_FALSE(m_last);
}
