#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/Vehicle.h"
#include "reports/ChartViewController.h"
#include "reports/QLChartViewDelegate.h"

class QLPieChartView;

// A share-of-a-whole report of one car: how its expenses in the selected period divide
// between services, repairs and fuel (key in money), or how its scheduled services divide by
// due status (key in counts; no period, so the strip is hidden and the chart fills the
// screen). Categories of zero stay in the key. Nothing above zero shows the no-data message.
class PieChartViewController : public ChartViewController, public QLChartViewDelegate {
public:
    static constexpr const char* kLayoutName = "PieChartViewController";

    enum Report : int { kExpenseDistribution = 0, kServiceStatus = 1 };

    PieChartViewController(int report, const Vehicle& vehicle);

    QLPieChartView& chart() const { return *m_chart; }

    void viewDidLoad() override;
    void generateReport() override;
    void didRotateFromInterfaceOrientation(platform::views::InterfaceOrientation from) override;
    std::optional<std::string> formatKeyLabel(const QLPieChartData& item, QLPieChartView& chartView) override;

protected:
    std::shared_ptr<QLChartView> makeChart(platform::views::Rect frame) override;

private:
    void generateExpenseDistributionReport();
    void generateServiceStatusReport();
    // The status chart has no periods: the chart takes the whole screen.
    void fillScreenWithChart();

    std::shared_ptr<QLPieChartView> m_chart;
};
