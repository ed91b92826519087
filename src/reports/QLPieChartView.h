#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/views/View.h"
#include "reports/QLPieChartData.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class QLChartViewDelegate;

// A view that draws labelled, coloured values as a pie with a key. An area not wider than tall puts the
// pie at the top and the key in centred rows below it; a wider area puts the pie at the
// left and the key in a vertically centred column at its right. Every draw recomputes the
// layout from the bounds and the data.
//
// Items whose value is not finite are left out (no slice, no key entry); a negative value
// gets no slice (its key entry stays); when the slices sum to zero the no-data message is
// shown.
class QLPieChartView : public platform::views::View {
public:
    struct Metrics {
        float titleHeight {0};
        float minX {0};
        float minY {0};
        float maxX {0};
        float maxY {0};
        float radius {0};
        float x {0}; // the pie's centre
        float y {0};
        platform::graphics::Rect keyRect;
        float totalValue {0};
    };

    // Where the key put one item (for tests and hit areas).
    struct KeyItem {
        std::string label; // the formatted key text
        platform::graphics::Rect dot;
        platform::graphics::Rect text; // drawn clipped to this width
    };

    QLPieChartView();
    explicit QLPieChartView(platform::graphics::Rect frame);

    // Properties; after changing them the owner asks for a redraw.
    QLChartViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(QLChartViewDelegate* delegate) { m_delegate = delegate; } // not owned
    const std::vector<QLPieChartData>& data() const { return m_data; }
    void setData(std::vector<QLPieChartData> data) { m_data = std::move(data); }
    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title) { m_title = std::move(title); }
    const std::string& noDataMessage() const { return m_noDataMessage; }
    void setNoDataMessage(std::string message) { m_noDataMessage = std::move(message); }
    const platform::graphics::Font& font() const { return m_font; }
    void setFont(const platform::graphics::Font& font) { m_font = font; }
    const platform::graphics::Font& titleFont() const { return m_titleFont; }
    void setTitleFont(const platform::graphics::Font& font) { m_titleFont = font; }
    platform::graphics::Color titleColor() const { return m_titleColor; }
    void setTitleColor(platform::graphics::Color color) { m_titleColor = color; }
    platform::graphics::Color lineColor() const { return m_lineColor; }
    void setLineColor(platform::graphics::Color color) { m_lineColor = color; }
    platform::graphics::Color textColor() const { return m_textColor; }
    void setTextColor(platform::graphics::Color color) { m_textColor = color; }
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

    // The key text of an item: the delegate's when it formats key labels, else
    // "label (value)" with the value as "%1.2f".
    std::string formatKeyLabel(const QLPieChartData& item);

    // Recomputes the metrics from the bounds and the data.
    void calculateMetrics();
    const Metrics& metrics() const { return m_metrics; }
    // The items drawn (finite values), and each one's slice in degrees (start, end), by the
    // current metrics; 0 degrees points right and angles grow clockwise on screen.
    const std::vector<QLPieChartData>& items() const { return m_items; }
    std::vector<std::pair<double, double>> sliceAngles() const;
    // Where the key puts each item, by the current metrics (measures the texts). A key
    // item wider than the key gets a row of its own, cut at the key's right edge; a column
    // taller than the key starts at its top and is cut at its bottom.
    std::vector<KeyItem> keyLayout();
    // Whether the last keyLayout is a column taller than the key (drawn clipped to it).
    bool keyClipped() const { return m_keyClipped; }

    void drawRect(platform::graphics::Context& context, platform::graphics::Rect rect) override;

private:
    void initDefaults();
    bool hasSlices() const;
    void drawChart(platform::graphics::Context& context);
    void drawKey(platform::graphics::Context& context, const std::vector<KeyItem>& layout);

    QLChartViewDelegate* m_delegate {nullptr};
    std::vector<QLPieChartData> m_data;
    std::optional<std::string> m_title;
    std::string m_noDataMessage;
    platform::graphics::Font m_font;
    platform::graphics::Font m_titleFont;
    platform::graphics::Color m_titleColor;
    platform::graphics::Color m_lineColor;
    platform::graphics::Color m_textColor;
    platform::graphics::Color m_gradientColor;
    float m_marginTop {0};
    float m_marginBottom {0};
    float m_marginLeft {0};
    float m_marginRight {0};

    std::vector<QLPieChartData> m_items;
    Metrics m_metrics;
    bool m_keyClipped {false};
};
