#pragma once

#include "reports/QLChartView.h"
#include "reports/QLPieChartData.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// A view that draws labelled, coloured values as a pie with a key. An area not wider than tall puts the
// pie at the top and the key in centred rows below it; a wider area puts the pie at the
// left and the key in a vertically centred column at its right. Every draw recomputes the
// layout from the bounds and the data.
//
// Items whose value is not finite are left out (no slice, no key entry); a negative value
// gets no slice (its key entry stays); when the slices sum to zero the no-data message is
// shown.
class QLPieChartView : public QLChartView {
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

    // Properties (the rest are QLChartView's); after changing them the owner asks for a redraw.
    const std::vector<QLPieChartData>& data() const { return m_data; }
    void setData(std::vector<QLPieChartData> data) { m_data = std::move(data); }
    platform::graphics::Color textColor() const { return m_textColor; }
    void setTextColor(platform::graphics::Color color) { m_textColor = color; }

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
    bool hasSlices() const;
    void drawChart(platform::graphics::Context& context);
    void drawKey(platform::graphics::Context& context, const std::vector<KeyItem>& layout);

    std::vector<QLPieChartData> m_data;
    platform::graphics::Color m_textColor {platform::graphics::Color::black()};

    std::vector<QLPieChartData> m_items;
    Metrics m_metrics;
    bool m_keyClipped {false};
};
