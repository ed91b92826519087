#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "app/AppTestSupport.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/views/Application.h"
#include "reports/LineChartViewController.h"
#include "reports/PieChartViewController.h"
#include "reports/QLLineChartView.h"
#include "reports/QLPieChartView.h"
#include "reports/ReportsTabViewController.h"
#include "screens/VehicleTabViewController.h"
#include "ui/ThemedViewController.h"
#include "ui/VTTabBar.h"
#include "ui/VehiclePages.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

using Line = LineChartViewController;
using Pie = PieChartViewController;

constexpr int kWeek = 1, kMonth = 2, kYear = 5, kAll = 6;
const int kPeriods[] = {kWeek, kMonth, kYear, kAll};

// Where each report sits on the reports page.
struct MenuRow {
    int report;
    int section;
    int row;
};
const MenuRow kLineRows[] = {{Line::kFuelEconomy, 0, 0}, {Line::kFuelConsumption, 0, 1},
    {Line::kCostForDistance, 0, 2}, {Line::kFuelPrices, 0, 3}, {Line::kFuelExpenses, 1, 0},
    {Line::kServiceExpenses, 1, 1}, {Line::kRepairExpenses, 1, 2}, {Line::kTotalExpenses, 1, 4}};
const MenuRow kExpenseDistributionRow {Pie::kExpenseDistribution, 1, 3};
const MenuRow kServiceStatusRow {Pie::kServiceStatus, 2, 0};

class ReportScreensTest : public VantrelAppTest {
protected:
    // Two years of a car: a full tank of 10 US gallons at 3.00 every 14 days from 1 March 2009
    // to 27 February 2011, 300 (miles or kilometres) apart; three oil changes; two repairs.
    static Vehicle addCarWithTwoYears() {
        Vehicle car = addVehicle("Roadster", 16600);
        for (int k = 0; k < 53; ++k) {
            Fillup fillup;
            fillup.vehicleID = car.vid;
            fillup.date = localTime(2009, 3, 1 + 14 * k);
            fillup.odometer = 1000 + 300 * k;
            fillup.quantity = 10;
            fillup.costPerUnit = 3;
            fillup.units = kFuelUSGallon;
            DB::saveFillup(fillup, false);
        }
        performOilChange(car, localTime(2009, 6, 1), 40);
        performOilChange(car, localTime(2010, 6, 1), 45);
        performOilChange(car, localTime(2011, 2, 20), 50);
        addRepair(car, localTime(2009, 11, 15), 300);
        addRepair(car, localTime(2010, 8, 10), 120);
        return car;
    }
    // A year of ordinary driving, for looking at: tanks of different sizes and prices, a
    // partial fill-up, services in each state and two repairs.
    static Vehicle addCarWithAYearOfDriving() {
        Vehicle car = addVehicle("Tourer", 21800);
        int odometer = 10000;
        for (int k = 0; k < 37; ++k) {
            Fillup fillup;
            fillup.vehicleID = car.vid;
            fillup.date = localTime(2010, 3, 5 + 10 * k);
            fillup.odometer = odometer;
            fillup.quantity = 9 + (k * 13 % 50) / 10.0;
            fillup.costPerUnit = 2.65 + 0.02 * k + (k * 7 % 5) * 0.03;
            fillup.units = kFuelUSGallon;
            fillup.type = k == 17 ? kFillupPartial : kFillupFull;
            DB::saveFillup(fillup, false);
            odometer += 280 + k * 37 % 90;
        }
        perform(car, "Oil Change", localTime(2010, 4, 10), 11000, 39.95);
        perform(car, "Oil Change", localTime(2010, 9, 20), 15500, 42.50);
        perform(car, "Tire Rotation", localTime(2010, 9, 20), 15500, 25);
        perform(car, "Brake Inspection", localTime(2010, 3, 1), 9800, 60);
        addRepair(car, localTime(2010, 6, 14), 210);
        addRepair(car, localTime(2011, 1, 22), 85);
        return car;
    }
    static void performOilChange(const Vehicle& car, platform::Date date, double cost) {
        perform(car, "Oil Change", date, 0, cost);
    }
    static void perform(
        const Vehicle& car, const std::string& name, platform::Date date, int odometer, double cost) {
        for (Service service : DB::serviceSummaryForVehicle(car.vid)) {
            if (service.name != name)
                continue;
            if (service.datePerformed)
                service.vehicleServiceID = 0;
            service.datePerformed = date;
            service.odometer = odometer;
            service.cost = cost;
            DB::saveVehicleService(service, false);
        }
    }
    static void addRepair(const Vehicle& car, platform::Date date, double cost) {
        Repair repair;
        repair.vehicleID = car.vid;
        repair.name = "Brakes";
        repair.datePerformed = date;
        repair.cost = cost;
        DB::saveRepair(repair, false);
    }

    // From the car list through the car's menu to its reports page.
    ReportsTabViewController& openReports(int carRow = 0) {
        driver().tapRow(*root().table(), 0, carRow);
        auto& menu = top<VehicleTabViewController>();
        const auto& pages = menu.pageRows();
        auto page = std::find(pages.begin(), pages.end(), int(VehiclePages::kReports));
        driver().tapRow(*menu.tableView(), 0, 1 + int(page - pages.begin()));
        return top<ReportsTabViewController>();
    }
    template<typename T> T& openReport(ReportsTabViewController& reports, const MenuRow& row) {
        driver().tapRow(*reports.tableView(), row.section, row.row);
        auto& screen = top<T>();
        EXPECT_EQ(screen.report(), row.report);
        return screen;
    }
    void pressPeriod(ChartViewController& screen, int period) { driver().tap(*screen.filterButton(period)); }
    bool rotate(InterfaceOrientation orientation) {
        bool turned = driver().window().setInterfaceOrientation(orientation);
        driver().runUntilIdle();
        return turned;
    }
    static std::vector<std::string> buttonTitles(ChartViewController& screen) {
        std::vector<std::string> titles;
        for (int tag = 1; tag <= 6; ++tag)
            titles.push_back(screen.filterButton(tag)->currentTitle());
        return titles;
    }
    static std::vector<std::string> keyLabels(QLPieChartView& chart) {
        chart.calculateMetrics();
        std::vector<std::string> labels;
        for (const auto& item : chart.keyLayout())
            labels.push_back(item.label);
        return labels;
    }
    static void useMetricUnits() {
        SettingsManager& settings = SettingsManager::sharedManager();
        settings.setDistanceUnit(kDistanceKilometers);
        settings.setFuelUnit(kFuelLiter);
        settings.setFuelEconomyUnit(3); // km/L
        settings.setFuelEfficiencyUnit(3); // L/100km
    }
};

// What a line report shows for 1w, 1m, 1y and the whole history: the points and the dates
// under the axis (none for an empty series), by the records it counts. The fuel reports
// count closed tanks, one fewer than the fill-ups of the period.
struct Shown {
    size_t points;
    const char* first;
    const char* last;
};
using Periods = std::array<Shown, 4>;
const Periods kTanks {{{0, nullptr, nullptr}, {1, "Feb 13, 2011", "Feb 27, 2011"},
    {25, "Mar 14, 2010", "Feb 27, 2011"}, {52, "Mar 1, 2009", "Feb 27, 2011"}}};
const Periods kFillups {{{1, "Feb 27, 2011", "Feb 27, 2011"}, {2, "Feb 13, 2011", "Feb 27, 2011"},
    {26, "Mar 14, 2010", "Feb 27, 2011"}, {53, "Mar 1, 2009", "Feb 27, 2011"}}};
const Periods kServices {{{0, nullptr, nullptr}, {1, "Feb 20, 2011", "Feb 20, 2011"},
    {2, "Jun 1, 2010", "Feb 20, 2011"}, {3, "Jun 1, 2009", "Feb 20, 2011"}}};
const Periods kRepairs {{{0, nullptr, nullptr}, {0, nullptr, nullptr}, {1, "Aug 10, 2010", "Aug 10, 2010"},
    {2, "Nov 15, 2009", "Aug 10, 2010"}}};
const Periods kExpenses {{{1, "Feb 27, 2011", "Feb 27, 2011"}, {3, "Feb 13, 2011", "Feb 27, 2011"},
    {29, "Mar 14, 2010", "Feb 27, 2011"}, {58, "Mar 1, 2009", "Feb 27, 2011"}}};

// A report in one unit setting: its title, the value of every point when they are all alike
// (every tank is), whether the axis reads in money, and what it shows per period.
struct UnitCase {
    const char* title;
    float value; // 0: the values differ
    bool money;
    const Periods& periods;
};
struct UnitSetting {
    const char* name;
    void (*apply)();
    std::vector<std::string> rowTitles; // the first section of the reports page
    std::vector<UnitCase> cases; // in the order of kLineRows
};

std::optional<std::string> text(const char* date) {
    return date ? std::optional<std::string>(date) : std::nullopt;
}

} // namespace

TEST_F(ReportScreensTest, EveryLineReportShowsItsSeriesAndDatesForEachPeriodInTwoUnitSettings) {
    addCarWithTwoYears();
    const UnitSetting settings[] = {
        {"miles and US gallons", [] {}, {"MPG (US)", "gal/100mi (US)", "Cost Per Mile", "Fuel Prices"},
            {{"MPG (US)", 30, false, kTanks}, {"gal/100mi (US)", 3.3333f, false, kTanks},
                {"Cost Per Mile", 0.1f, true, kTanks}, {"Fuel Price Per Gallon (US)", 3, true, kFillups},
                {"Fuel Expenses", 30, true, kFillups}, {"Service Expenses", 0, true, kServices},
                {"Repair Expenses", 0, true, kRepairs}, {"Total Expenses", 0, true, kExpenses}}},
        // Readings are kept in the distance unit of the settings, so the same readings are
        // kilometres now; fuel is shown in litres.
        {"kilometres and litres", useMetricUnits, {"km/L", "L/100km", "Cost Per Kilometer", "Fuel Prices"},
            {{"km/L", 7.92516f, false, kTanks}, {"L/100km", 12.618f, false, kTanks},
                {"Cost Per Kilometer", 0.1f, true, kTanks},
                {"Fuel Price Per Liter", 0.792516f, true, kFillups}, {"Fuel Expenses", 30, true, kFillups},
                {"Service Expenses", 0, true, kServices}, {"Repair Expenses", 0, true, kRepairs},
                {"Total Expenses", 0, true, kExpenses}}},
    };
    launch();
    auto& reports = openReports();
    EXPECT_EQ(driver().navigationTitle(), "Reports");
    keepScreen("reports-page");
    for (const UnitSetting& setting : settings) {
        SCOPED_TRACE(setting.name);
        setting.apply();
        // Coming back to the page (here from a chart) renames the rows by the new units.
        openReport<Line>(reports, kLineRows[0]);
        driver().pressBack();
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(driver().scrollToRow(*reports.tableView(), 0, row).textLabel().text(),
                setting.rowTitles[size_t(row)]);

        for (size_t i = 0; i < std::size(kLineRows); ++i) {
            const UnitCase& unit = setting.cases[i];
            auto& screen = openReport<Line>(reports, kLineRows[i]);
            QLLineChartView& chart = screen.chart();
            EXPECT_EQ(driver().navigationTitle(), "Roadster");
            EXPECT_EQ(screen.selectedFilter(), kAll) << "a report opens on the whole history";
            EXPECT_EQ(chart.title(), unit.title);
            EXPECT_EQ(chart.formatValue(1234.5f), unit.money ? "$1,234.50" : "1234.50");
            for (size_t p = 0; p < std::size(kPeriods); ++p) {
                const int period = kPeriods[p];
                const Shown& expected = unit.periods[p];
                SCOPED_TRACE(std::string(unit.title) + ", period " + std::to_string(period));
                pressPeriod(screen, period);
                EXPECT_EQ(screen.selectedFilter(), period);
                EXPECT_EQ(screen.filterButtonHighlight().frame(), screen.filterButton(period)->frame());
                ASSERT_EQ(chart.data().size(), expected.points);
                EXPECT_EQ(chart.minLabel(), text(expected.first));
                EXPECT_EQ(chart.maxLabel(), text(expected.last));
                if (unit.value != 0) {
                    for (float value : chart.data())
                        EXPECT_NEAR(value, unit.value, 1e-3f);
                }
                if (expected.points == 0) {
                    EXPECT_EQ(chart.noDataMessage(), "There is insufficient data to generate this report.");
                    keepScreen("no-data-" + std::to_string(screen.report()) + "-" + std::to_string(period));
                }
            }
            driver().pressBack();
        }
    }

    // The totals of the whole history: 53 tanks of 30, oil changes of 40, 45 and 50, repairs of
    // 300 and 120.
    auto& totals = openReport<Line>(reports, kLineRows[7]);
    float sum = 0;
    for (float value : totals.chart().data())
        sum += value;
    EXPECT_FLOAT_EQ(sum, 53 * 30 + 135 + 420);
    driver().pressBack();

    // A distance unit without a name (a code outside the list) still titles the cost report.
    SettingsManager::sharedManager().setDistanceUnit(7);
    EXPECT_EQ(ReportsTabViewController::rowTitle({0, 2}), "Cost Per Distance");
    EXPECT_EQ(openReport<Line>(reports, kLineRows[2]).chart().title(), "Cost Per Distance");
    driver().pressBack();

    // The usage report, which the page does not offer, has only its title.
    auto usage = std::make_shared<LineChartViewController>(Line::kVehicleUsage, reports.vehicle());
    driver().navigationController()->pushViewController(usage, false);
    driver().runUntilIdle();
    EXPECT_EQ(usage->chart().title(), "Vehicle Usage");
    EXPECT_TRUE(usage->chart().data().empty());
    EXPECT_FALSE(usage->chart().minLabel());
}

TEST_F(ReportScreensTest, TheExpenseDistributionOfAMonthWithoutRepairsKeepsRepairsInTheKey) {
    addCarWithTwoYears();
    Vehicle empty = addVehicle("Spare");
    launch();
    auto& reports = openReports();
    auto& screen = openReport<Pie>(reports, kExpenseDistributionRow);
    QLPieChartView& chart = screen.chart();
    EXPECT_EQ(chart.title(), "Expense Distribution");
    EXPECT_EQ(keyLabels(chart),
        (std::vector<std::string> {"Services ($135.00)", "Repairs ($420.00)", "Fuel ($1,590.00)"}));

    // The last month: one oil change of 50, two tanks of 30, no repair.
    pressPeriod(screen, kMonth);
    EXPECT_EQ(screen.filterButtonHighlight().frame(), screen.filterButton(kMonth)->frame());
    EXPECT_EQ(keyLabels(chart),
        (std::vector<std::string> {"Services ($50.00)", "Repairs ($0.00)", "Fuel ($60.00)"}));
    auto angles = chart.sliceAngles();
    ASSERT_EQ(angles.size(), 3u);
    EXPECT_NEAR(angles[0].second - angles[0].first, 360.0 * 50 / 110, 1e-3);
    EXPECT_DOUBLE_EQ(angles[1].second - angles[1].first, 0);
    EXPECT_NEAR(angles[2].second, 360, 1e-3);
    const std::uint32_t colors[] = {0x007C96, 0x0D1C40, 0x4C0066};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(chart.items()[i].color, colorWithHex(colors[i]));
    keepScreen("expense-distribution-month");
    driver().pressBack();
    driver().pressBack();
    driver().pressBack();

    // A car without expenses has nothing to divide.
    auto& spare = openReport<Pie>(openReports(1), kExpenseDistributionRow);
    EXPECT_TRUE(spare.chart().data().empty());
    EXPECT_EQ(spare.chart().noDataMessage(), "There is insufficient data to generate this report.");
    EXPECT_EQ(spare.vehicle().vid, empty.vid);
}

TEST_F(ReportScreensTest, TheServiceStatusCountsFollowARecordedServiceAndFillTheScreenInBothOrientations) {
    Vehicle car = addVehicle("Roadster", 10000);
    launch();
    auto& reports = openReports();
    auto& before = openReport<Pie>(reports, kServiceStatusRow);
    EXPECT_EQ(before.chart().title(), "Service Status");
    EXPECT_EQ(keyLabels(before.chart()),
        (std::vector<std::string> {
            "Service Performed (0)", "Due Soon (0)", "Overdue (0)", "Not Recorded (5)"}));
    driver().pressBack();

    recordService(car, "Oil Change", localTime(2011, 2, 1), 9800);
    recordService(car, "Tire Rotation", localTime(2010, 1, 10), 2000); // six months are long past
    auto& after = openReport<Pie>(reports, kServiceStatusRow);
    QLPieChartView& chart = after.chart();
    EXPECT_EQ(keyLabels(chart),
        (std::vector<std::string> {
            "Service Performed (1)", "Due Soon (0)", "Overdue (1)", "Not Recorded (3)"}));
    // No periods: the strip is hidden and the chart has the whole screen, turned or not.
    EXPECT_TRUE(after.filterView().isHidden());
    EXPECT_EQ(chart.frame(), after.view()->bounds());
    ASSERT_TRUE(rotate(InterfaceOrientation::LandscapeRight));
    EXPECT_EQ(after.view()->bounds().size, driver().window().bounds().size);
    EXPECT_EQ(chart.frame(), after.view()->bounds());
    EXPECT_TRUE(after.filterView().isHidden());
    keepScreen("service-status-landscape");
    ASSERT_TRUE(rotate(InterfaceOrientation::Portrait));
    EXPECT_EQ(chart.frame(), after.view()->bounds());
    EXPECT_EQ(after.view()->bounds().size, Screen::mainScreen().contentBounds().size);
}

TEST_F(ReportScreensTest, TurningAReportHidesTheBarsKeepsThePeriodAndTurningBackRestoresThem) {
    addCarWithTwoYears();
    launch();
    auto& reports = openReports();
    EXPECT_EQ(
        reports.tabBar().selector().frame(), reports.tabBar().buttonWithTag(VehiclePages::kReports)->frame());
    // The page itself stands upright.
    EXPECT_FALSE(rotate(InterfaceOrientation::LandscapeRight));

    auto& screen = openReport<Line>(reports, kLineRows[4]); // fuel expenses
    pressPeriod(screen, kMonth);
    EXPECT_FALSE(rotate(InterfaceOrientation::PortraitUpsideDown));
    ASSERT_TRUE(rotate(InterfaceOrientation::LandscapeRight));
    Window& window = driver().window();
    EXPECT_TRUE(window.isStatusBarHidden());
    EXPECT_TRUE(driver().navigationController()->isNavigationBarHidden());
    // The strip and the chart fill the screen on its side.
    EXPECT_EQ(screen.view()->convertRectToView(screen.view()->bounds(), nullptr), window.bounds());
    EXPECT_EQ(screen.filterView().frame().width(), window.bounds().width());
    EXPECT_EQ(screen.chart().frame().maxY(), window.bounds().height());
    EXPECT_EQ(buttonTitles(screen),
        (std::vector<std::string> {"1 Week", "1 Month", "3 Months", "6 Months", "1 Year", "All"}));
    EXPECT_DOUBLE_EQ(screen.filterButton(6)->frame().maxX(), window.bounds().width() - 10);
    // Still the last month, highlighted where its button now is.
    EXPECT_EQ(screen.selectedFilter(), kMonth);
    EXPECT_EQ(screen.filterButtonHighlight().frame(), screen.filterButton(kMonth)->frame());
    EXPECT_EQ(screen.chart().data().size(), 2u);
    keepScreen("fuel-expenses-landscape");
    // The buttons work on its side too.
    pressPeriod(screen, kYear);
    EXPECT_EQ(screen.chart().data().size(), 26u);

    ASSERT_TRUE(rotate(InterfaceOrientation::Portrait));
    EXPECT_FALSE(window.isStatusBarHidden());
    EXPECT_FALSE(driver().navigationController()->isNavigationBarHidden());
    EXPECT_EQ(driver().navigationTitle(), "Roadster");
    EXPECT_EQ(screen.view()->bounds().size, Screen::mainScreen().contentBounds().size);
    EXPECT_EQ(buttonTitles(screen), (std::vector<std::string> {"1w", "1m", "3m", "6m", "1y", "All"}));
    EXPECT_NEAR(screen.filterButton(1)->frame().width(), 41.67, 0.01);
    EXPECT_EQ(screen.selectedFilter(), kYear);
    EXPECT_EQ(screen.filterButtonHighlight().frame(), screen.filterButton(kYear)->frame());

    // Should a report leave while on its side, the screen below gets its bars back.
    ASSERT_TRUE(rotate(InterfaceOrientation::LandscapeRight));
    driver().navigationController()->popViewControllerAnimated(false);
    driver().runUntilIdle();
    EXPECT_FALSE(window.isStatusBarHidden());
    EXPECT_FALSE(driver().navigationController()->isNavigationBarHidden());
}

// Every report, upright and on its side, in a theme with light headers and one with dark
// ones; with $VANTREL_RENDER_DIR set each is kept as a picture to look at.
TEST_F(ReportScreensTest, EveryReportTurnsBothWaysInTwoThemes) {
    addCarWithAYearOfDriving();
    for (int theme : {0, 12}) {
        SCOPED_TRACE("theme " + std::to_string(theme));
        SettingsManager::sharedManager().setThemeIndex(theme);
        SettingsManager::sharedManager().save();
        relaunch();
        ASSERT_EQ(ThemedViewController::selectedTheme(), theme);
        auto& reports = openReports();
        keepScreen("theme" + std::to_string(theme) + "-reports-page");
        std::vector<MenuRow> rows(std::begin(kLineRows), std::end(kLineRows));
        rows.push_back(kExpenseDistributionRow);
        rows.push_back(kServiceStatusRow);
        for (const MenuRow& row : rows) {
            driver().tapRow(*reports.tableView(), row.section, row.row);
            auto* screen = dynamic_cast<ChartViewController*>(driver().topViewController());
            ASSERT_NE(screen, nullptr);
            std::string name = "theme" + std::to_string(theme) + "-" + std::to_string(row.section) + "-"
                + std::to_string(row.row) + "-" + ReportsTabViewController::rowTitle({row.section, row.row});
            std::replace(name.begin(), name.end(), '/', '-');
            keepScreen(name + "-portrait");
            ASSERT_TRUE(rotate(InterfaceOrientation::LandscapeRight));
            EXPECT_TRUE(driver().navigationController()->isNavigationBarHidden());
            EXPECT_EQ(screen->chartView().frame().maxY(), driver().window().bounds().height());
            EXPECT_EQ(screen->chartView().frame().width(), driver().window().bounds().width());
            keepScreen(name + "-landscape");
            ASSERT_TRUE(rotate(InterfaceOrientation::Portrait));
            EXPECT_FALSE(driver().navigationController()->isNavigationBarHidden());
            driver().pressBack();
        }
    }
}
