#include "reports/ReportsTabViewController.h"

#include <array>
#include <vector>

#include "model/SettingsManager.h"
#include "platform/views/NavigationController.h"
#include "reports/LineChartViewController.h"
#include "reports/PieChartViewController.h"

using namespace platform::views;

namespace {

enum class Chart { Line, Pie };

struct ReportRow {
    Chart chart;
    int report;
    const char* title; // none: named after a unit of the settings
};

struct ReportSection {
    const char* header;
    std::vector<ReportRow> rows;
};

const std::array<ReportSection, 3>& sections() {
    static const std::array<ReportSection, 3> table {{
        {"Fuel",
            {{Chart::Line, LineChartViewController::kFuelEconomy, nullptr},
                {Chart::Line, LineChartViewController::kFuelConsumption, nullptr},
                {Chart::Line, LineChartViewController::kCostForDistance, nullptr},
                {Chart::Line, LineChartViewController::kFuelPrices, "Fuel Prices"}}},
        {"Expenses",
            {{Chart::Line, LineChartViewController::kFuelExpenses, "Fuel"},
                {Chart::Line, LineChartViewController::kServiceExpenses, "Services"},
                {Chart::Line, LineChartViewController::kRepairExpenses, "Repairs"},
                {Chart::Pie, PieChartViewController::kExpenseDistribution, "Expense Distribution"},
                {Chart::Line, LineChartViewController::kTotalExpenses, "Total Expenses"}}},
        {"Miscellaneous", {{Chart::Pie, PieChartViewController::kServiceStatus, "Service Status"}}},
    }};
    return table;
}

const ReportRow* rowAt(IndexPath indexPath) {
    if (indexPath.section < 0 || size_t(indexPath.section) >= sections().size())
        return nullptr;
    const auto& rows = sections()[size_t(indexPath.section)].rows;
    if (indexPath.row < 0 || size_t(indexPath.row) >= rows.size())
        return nullptr;
    return &rows[size_t(indexPath.row)];
}

} // namespace

ReportsTabViewController::ReportsTabViewController(const Vehicle& vehicle)
    : VehiclePageViewController(kLayoutName, TableViewStyle::Grouped, vehicle) { }

std::string ReportsTabViewController::rowTitle(IndexPath indexPath) {
    const ReportRow* row = rowAt(indexPath);
    if (!row)
        return "";
    if (row->title)
        return row->title;
    const SettingsManager& settings = SettingsManager::sharedManager();
    switch (row->report) {
    case LineChartViewController::kFuelEconomy:
        return settings.fuelEconomyUnitName();
    case LineChartViewController::kFuelConsumption:
        return settings.fuelEfficiencyUnitName();
    default:
        return LineChartViewController::costPerDistanceTitle();
    }
}

void ReportsTabViewController::viewWillAppear(bool animated) {
    // The base applies the theme, which reloads the rows, so a changed unit shows at once.
    VehiclePageViewController::viewWillAppear(animated);
    setTitle("Reports");
}

int ReportsTabViewController::numberOfSectionsInTableView(TableView&) {
    return int(sections().size());
}

int ReportsTabViewController::numberOfRowsInSection(TableView&, int section) {
    if (section < 0 || size_t(section) >= sections().size())
        return 0;
    return int(sections()[size_t(section)].rows.size());
}

std::shared_ptr<TableViewCell> ReportsTabViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell<TableViewCell>(kCellIdentifier, TableViewCellStyle::Default);
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    cell->setBackgroundColor(Color::white(1, 0.5));
    cell->textLabel().setText(rowTitle(indexPath));
    setSmallFont(cell->textLabel());
    return cell;
}

std::shared_ptr<View> ReportsTabViewController::viewForHeaderInSection(TableView&, int section) {
    if (section < 0 || size_t(section) >= sections().size())
        return nullptr;
    return tableHeaderViewWithText(sections()[size_t(section)].header);
}

void ReportsTabViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    const ReportRow* row = rowAt(indexPath);
    NavigationController* navigation = navigationController();
    if (!row || !navigation)
        return;
    std::shared_ptr<ViewController> screen;
    if (row->chart == Chart::Line)
        screen = std::make_shared<LineChartViewController>(row->report, vehicle());
    else
        screen = std::make_shared<PieChartViewController>(row->report, vehicle());
    navigation->pushViewController(screen, true);
}
