#include "reports/PieChartViewController.h"

#include <array>
#include <cmath>
#include <vector>

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/SharedFrom.h"
#include "reports/QLPieChartView.h"
#include "ui/Theme.h"

using namespace platform::views;

namespace {

struct Slice {
    const char* label;
    std::uint32_t color;
};

// The expense colours are the first colours of theme rows 6, 7 and 8.
const std::array<Slice, 3> kExpenseSlices {{
    {"Services", kThemes[6].first},
    {"Repairs", kThemes[7].first},
    {"Fuel", kThemes[8].first},
}};

constexpr std::array<Slice, 4> kStatusSlices {{
    {"Service Performed", 0x4AA600},
    {"Due Soon", 0xFFC002},
    {"Overdue", 0x9A0000},
    {"Not Recorded", 0x5E6467},
}};

// One item per value that has a row in the slice table (a longer result has nothing to
// show its extra values with); none at all when no value is above zero.
template<typename Value, size_t N>
std::vector<QLPieChartData> slices(const std::vector<Value>& values, const std::array<Slice, N>& table) {
    std::vector<QLPieChartData> items;
    bool anyAboveZero = false;
    for (size_t i = 0; i < values.size() && i < table.size(); ++i) {
        items.emplace_back(static_cast<float>(values[i]), table[i].label, colorWithHex(table[i].color));
        anyAboveZero = anyAboveZero || values[i] > 0;
    }
    if (!anyAboveZero)
        items.clear();
    return items;
}

} // namespace

PieChartViewController::PieChartViewController(int report, const Vehicle& vehicle)
    : ChartViewController(kLayoutName, report, vehicle) { }

std::shared_ptr<QLChartView> PieChartViewController::makeChart(Rect frame) {
    m_chart = std::make_shared<QLPieChartView>(frame);
    return m_chart;
}

void PieChartViewController::viewDidLoad() {
    ChartViewController::viewDidLoad();
    m_chart->setDelegate(platform::sharedFrom(this));
    m_chart->setLineColor(Color::white(1, 0.25));
    generateReport();
}

void PieChartViewController::generateReport() {
    if (report() == kExpenseDistribution)
        generateExpenseDistributionReport();
    else if (report() == kServiceStatus)
        generateServiceStatusReport();
    m_chart->setNeedsDisplay();
}

void PieChartViewController::generateExpenseDistributionReport() {
    m_chart->setTitle("Expense Distribution");
    m_chart->setData(slices(DB::costDistributionReport(vehicle(), selectedFilter()), kExpenseSlices));
}

void PieChartViewController::generateServiceStatusReport() {
    m_chart->setTitle("Service Status");
    fillScreenWithChart();
    const SettingsManager& settings = SettingsManager::sharedManager();
    m_chart->setData(
        slices(DB::serviceStatusReport(vehicle(), settings.daysBeforeDue(), settings.distanceBeforeDue()),
            kStatusSlices));
}

void PieChartViewController::fillScreenWithChart() {
    filterView().setHidden(true);
    m_chart->setFrame(view()->bounds());
}

void PieChartViewController::didRotateFromInterfaceOrientation(InterfaceOrientation from) {
    ChartViewController::didRotateFromInterfaceOrientation(from);
    if (report() == kServiceStatus)
        fillScreenWithChart();
    m_chart->setNeedsDisplay();
}

std::optional<std::string> PieChartViewController::formatKeyLabel(
    const QLPieChartData& item, QLPieChartView&) {
    if (report() == kServiceStatus)
        return item.label + " (" + std::to_string(static_cast<int>(item.value)) + ")";
    return item.label + " (" + FormatCurrency(item.value) + ")";
}
