#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/Vehicle.h"
#include "reports/ChartViewController.h"
#include "reports/QLChartViewDelegate.h"

class QLLineChartView;

// A time-series report of one car for the selected period: the series of the report's
// query in the units of the settings at the time it is built, the dates of its first and
// last rows under the axis, and the value labels as plain numbers (economy, consumption) or
// money (every other report). An empty series shows the no-data message and no dates.
class LineChartViewController : public ChartViewController, public QLChartViewDelegate {
public:
    static constexpr const char* kLayoutName = "LineChartViewController";

    enum Report : int {
        kFuelEconomy = 0,
        kFuelConsumption = 1,
        kCostForDistance = 2,
        kFuelPrices = 3,
        kFuelExpenses = 4,
        kServiceExpenses = 5,
        kRepairExpenses = 6,
        kTotalExpenses = 7,
        kVehicleUsage = 8,
    };

    LineChartViewController(int report, const Vehicle& vehicle);

    QLLineChartView& chart() const { return *m_chart; }

    // "Cost Per Mile" / "Cost Per Kilometer": the settings' distance unit name less its last
    // letter ("Cost Per Distance" when the unit has no name).
    static std::string costPerDistanceTitle();

    void viewDidLoad() override;
    void generateReport() override;
    void didRotateFromInterfaceOrientation(platform::views::InterfaceOrientation from) override;
    std::optional<std::string> formatValue(float value, QLLineChartView& chartView) override;

protected:
    std::shared_ptr<QLChartView> makeChart(platform::views::Rect frame) override;

private:
    std::shared_ptr<QLLineChartView> m_chart;
};
