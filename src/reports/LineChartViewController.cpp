#include "reports/LineChartViewController.h"

#include <cstdio>
#include <vector>

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/SharedFrom.h"
#include "reports/QLLineChartView.h"

using namespace platform::views;

namespace {

constexpr double kAxisGrey = 24.0 / 255;

struct Series {
    std::optional<std::string> title;
    std::vector<float> data;
    DB::OptionalDate first;
    DB::OptionalDate last;
};

// The report's title and its series from the data store, in the settings' current units.
Series seriesFor(int report, const Vehicle& vehicle, int filter) {
    const SettingsManager& settings = SettingsManager::sharedManager();
    Series s;
    switch (report) {
    case LineChartViewController::kFuelEconomy:
        s.title = settings.fuelEconomyUnitName();
        s.data = DB::fuelEconomyReport(vehicle, filter, settings.fuelUnit(), settings.distanceUnit(),
            settings.fuelEconomyUnit(), s.first, s.last);
        break;
    case LineChartViewController::kFuelConsumption:
        s.title = settings.fuelEfficiencyUnitName();
        s.data = DB::fuelConsumptionReport(vehicle, filter, settings.fuelUnit(), settings.distanceUnit(),
            settings.fuelEfficiencyUnit(), s.first, s.last);
        break;
    case LineChartViewController::kCostForDistance:
        s.title = LineChartViewController::costPerDistanceTitle();
        s.data = DB::costForDistanceReport(vehicle, filter, settings.distanceUnit(), s.first, s.last);
        break;
    case LineChartViewController::kFuelPrices:
        s.title = "Fuel Price Per " + settings.fuelUnitName();
        s.data = DB::fuelPricesReport(vehicle, filter, settings.fuelUnit(), s.first, s.last);
        break;
    case LineChartViewController::kFuelExpenses:
        s.title = "Fuel Expenses";
        s.data = DB::fuelExpensesReport(vehicle, filter, s.first, s.last);
        break;
    case LineChartViewController::kServiceExpenses:
        s.title = "Service Expenses";
        s.data = DB::serviceExpensesReport(vehicle, filter, s.first, s.last);
        break;
    case LineChartViewController::kRepairExpenses:
        s.title = "Repair Expenses";
        s.data = DB::repairExpensesReport(vehicle, filter, s.first, s.last);
        break;
    case LineChartViewController::kTotalExpenses:
        s.title = "Total Expenses";
        s.data = DB::totalExpensesReport(vehicle, filter, s.first, s.last);
        break;
    case LineChartViewController::kVehicleUsage:
        s.title = "Vehicle Usage";
        break;
    default:
        break;
    }
    return s;
}

std::optional<std::string> mediumDate(const DB::OptionalDate& date) {
    if (!date)
        return std::nullopt;
    return FormatDate(*date, DateStyle::Medium);
}

} // namespace

LineChartViewController::LineChartViewController(int report, const Vehicle& vehicle)
    : ChartViewController(kLayoutName, report, vehicle) { }

std::string LineChartViewController::costPerDistanceTitle() {
    std::string unit = SettingsManager::sharedManager().distanceUnitName();
    if (unit.empty())
        return "Cost Per Distance";
    unit.pop_back();
    return "Cost Per " + unit;
}

std::shared_ptr<QLChartView> LineChartViewController::makeChart(Rect frame) {
    m_chart = std::make_shared<QLLineChartView>(frame);
    return m_chart;
}

void LineChartViewController::viewDidLoad() {
    ChartViewController::viewDidLoad();
    m_chart->setDelegate(platform::sharedFrom(this));
    m_chart->setLineColor(firstColor());
    m_chart->setAxisColor(Color::rgba(kAxisGrey, kAxisGrey, kAxisGrey, 1));
    m_chart->setGridlineGolor(Color::black().withAlpha(0.25));
    generateReport();
}

void LineChartViewController::generateReport() {
    Series series = seriesFor(report(), vehicle(), selectedFilter());
    m_chart->setTitle(series.title);
    // A period without points shows the message alone: dates of rows that gave no point
    // (a single fill-up, say) would only suggest a chart that is not there.
    const bool empty = series.data.empty();
    m_chart->setMinLabel(empty ? std::nullopt : mediumDate(series.first));
    m_chart->setMaxLabel(empty ? std::nullopt : mediumDate(series.last));
    m_chart->setData(std::move(series.data));
    m_chart->setNeedsDisplay();
}

void LineChartViewController::didRotateFromInterfaceOrientation(InterfaceOrientation from) {
    ChartViewController::didRotateFromInterfaceOrientation(from);
    m_chart->setNeedsDisplay();
}

std::optional<std::string> LineChartViewController::formatValue(float value, QLLineChartView&) {
    if (report() == kFuelEconomy || report() == kFuelConsumption) {
        char text[64];
        std::snprintf(text, sizeof text, "%1.2f", static_cast<double>(value));
        return std::string(text);
    }
    return FormatCurrency(value);
}
