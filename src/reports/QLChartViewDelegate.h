#pragma once

#include <optional>
#include <string>

class QLLineChartView;
class QLPieChartView;
struct QLPieChartData;

// Formats the texts of the chart views. Both operations are optional: the default answers
// none, and the chart then uses its own format.
class QLChartViewDelegate {
public:
    virtual ~QLChartViewDelegate() = default;

    // A value label of the line chart's axis.
    virtual std::optional<std::string> formatValue(float value, QLLineChartView& chartView) {
        return std::nullopt;
    }
    // The key text of a pie slice.
    virtual std::optional<std::string> formatKeyLabel(
        const QLPieChartData& label, QLPieChartView& chartView) {
        return std::nullopt;
    }
};
