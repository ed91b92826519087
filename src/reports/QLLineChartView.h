#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/views/View.h"

#include <optional>
#include <string>
#include <vector>

class QLChartViewDelegate;

// A view that draws one series as a line over equally spaced points, with a value axis scaled to round
// numbers, value labels and ticks, optional gridlines, a dashed average line, a title, two
// texts under the horizontal axis and a message when there is no data. Every draw
// recomputes the layout from the bounds and the data.
//
// Values that are not finite (NaN, infinities) are left out of the series.
class QLLineChartView : public platform::views::View {
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

    // Properties; after changing them the owner asks for a redraw.
    QLChartViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(QLChartViewDelegate* delegate) { m_delegate = delegate; } // not owned
    const std::vector<float>& data() const { return m_data; }
    void setData(std::vector<float> data) { m_data = std::move(data); }
    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title) { m_title = std::move(title); }
    const std::optional<std::string>& minLabel() const { return m_minLabel; }
    void setMinLabel(std::optional<std::string> label) { m_minLabel = std::move(label); }
    const std::optional<std::string>& maxLabel() const { return m_maxLabel; }
    void setMaxLabel(std::optional<std::string> label) { m_maxLabel = std::move(label); }
    const std::string& noDataMessage() const { return m_noDataMessage; }
    void setNoDataMessage(std::string message) { m_noDataMessage = std::move(message); }
    const platform::graphics::Font& font() const { return m_font; }
    void setFont(const platform::graphics::Font& font) { m_font = font; }
    const platform::graphics::Font& titleFont() const { return m_titleFont; }
    void setTitleFont(const platform::graphics::Font& font) { m_titleFont = font; }
    platform::graphics::Color titleColor() const { return m_titleColor; }
    void setTitleColor(platform::graphics::Color color) { m_titleColor = color; }
    platform::graphics::Color axisColor() const { return m_axisColor; }
    void setAxisColor(platform::graphics::Color color) { m_axisColor = color; }
    platform::graphics::Color gridlineGolor() const { return m_gridlineGolor; }
    void setGridlineGolor(platform::graphics::Color color) { m_gridlineGolor = color; }
    platform::graphics::Color lineColor() const { return m_lineColor; }
    void setLineColor(platform::graphics::Color color) { m_lineColor = color; }
    platform::graphics::Color gradientColor() const { return m_gradientColor; }
    void setGradientColor(platform::graphics::Color color) { m_gradientColor = color; }
    float marginTop() const { return m_marginTop; }
    void setMarginTop(float margin) { m_marginTop = margin; }
    float marginBottom() const { return m_marginBottom; }
    void setMarginBottom(float margin) { m_marginBottom = margin; }
    float marginLeft() const { return m_marginLeft; }
    void setMarginLeft(float margin) { m_marginLeft = margin; }
    float marginRight() const { return m_marginRight; }
    void setMarginRight(float margin) { m_marginRight = margin; }
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
    void initDefaults();
    int tickCount() const;
    void drawChart(platform::graphics::Context& context, float width, float height);

    QLChartViewDelegate* m_delegate {nullptr};
    std::vector<float> m_data;
    std::optional<std::string> m_title;
    std::optional<std::string> m_minLabel;
    std::optional<std::string> m_maxLabel;
    std::string m_noDataMessage;
    platform::graphics::Font m_font;
    platform::graphics::Font m_titleFont;
    platform::graphics::Color m_titleColor;
    platform::graphics::Color m_axisColor;
    platform::graphics::Color m_gridlineGolor;
    platform::graphics::Color m_lineColor;
    platform::graphics::Color m_gradientColor;
    float m_marginTop {0};
    float m_marginBottom {0};
    float m_marginLeft {0};
    float m_marginRight {0};
    bool m_showGridlines {true};

    std::vector<float> m_series;
    Metrics m_metrics;
};
