#pragma once

#include "reports/QLChartView.h"

#include <optional>
#include <string>
#include <vector>

// A view that draws one series as a line over equally spaced points, with a value axis scaled to round
// numbers, value labels and ticks, optional gridlines, a dashed average line, a title, two
// texts under the horizontal axis and a message when there is no data. Every draw
// recomputes the layout from the bounds and the data.
//
// Values that are not finite (NaN, infinities) are left out of the series.
class QLLineChartView : public QLChartView {
public:
    // The layout of one draw, in the view's coordinates (y down).
    struct Metrics {
        float titleHeight {0};
        float scaleMin {0};
        float scaleMax {0};
        float scaleInterval {0};
        float scaleRange {0};
        float average {0};
        float axisXLabelMargin {0}; // width of the value labels' column
        float textHeight {0}; // height of one value label
        float minX {0};
        float minY {0};
        float maxX {0};
        float maxY {0};
        float segmentWidth {0}; // horizontal distance between points
        float plotArea {0}; // plot height
    };

    // The band under the horizontal axis for the min/max labels.
    static constexpr float axisYLabelMargin = 12;

    QLLineChartView();
    explicit QLLineChartView(platform::graphics::Rect frame);

    // Properties (the rest are QLChartView's); after changing them the owner asks for a redraw.
    const std::vector<float>& data() const { return m_data; }
    void setData(std::vector<float> data) { m_data = std::move(data); }
    const std::optional<std::string>& minLabel() const { return m_minLabel; }
    void setMinLabel(std::optional<std::string> label) { m_minLabel = std::move(label); }
    const std::optional<std::string>& maxLabel() const { return m_maxLabel; }
    void setMaxLabel(std::optional<std::string> label) { m_maxLabel = std::move(label); }
    platform::graphics::Color axisColor() const { return m_axisColor; }
    void setAxisColor(platform::graphics::Color color) { m_axisColor = color; }
    platform::graphics::Color gridlineGolor() const { return m_gridlineGolor; }
    void setGridlineGolor(platform::graphics::Color color) { m_gridlineGolor = color; }
    bool showGridlines() const { return m_showGridlines; }
    void setShowGridlines(bool show) { m_showGridlines = show; }

    // The label text of a value: the delegate's when it formats values, else "%1.2f".
    std::string formatValue(float value);
    // Height of a value above the bottom of the plot, by the current metrics.
    float scaledValue(float value) const;

    // Recomputes the metrics from the bounds and the data.
    void calculateMetrics();
    const Metrics& metrics() const { return m_metrics; }
    // The series as drawn (finite values only).
    const std::vector<float>& series() const { return m_series; }
    // The value labels of the axis from the bottom up, by the current metrics.
    std::vector<std::string> valueLabels();

    void drawRect(platform::graphics::Context& context, platform::graphics::Rect rect) override;

private:
    int tickCount() const;
    void drawChart(platform::graphics::Context& context, float width, float height);
    // Stamps a dot of the line at each centre (view coordinates).
    void drawDots(
        platform::graphics::Context& context, const std::vector<platform::graphics::Point>& centres);

    std::vector<float> m_data;
    std::optional<std::string> m_minLabel;
    std::optional<std::string> m_maxLabel;
    platform::graphics::Color m_axisColor {platform::graphics::Color::black()};
    platform::graphics::Color m_gridlineGolor {platform::graphics::Color::darkGray()};
    bool m_showGridlines {true};

    std::vector<float> m_series;
    Metrics m_metrics;
};
