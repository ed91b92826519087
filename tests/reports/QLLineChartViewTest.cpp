#include "reports/QLLineChartView.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/TextLayout.h"
#include "reports/QLChartViewDelegate.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>

using namespace platform::graphics;

namespace {

// A chart whose value labels are 13 points high and whose plot is 200 points high, the
// figures of the worked examples: no title, margins 10, the label band 12.
std::shared_ptr<QLLineChartView> exampleChart(std::vector<float> data) {
    auto chart = std::make_shared<QLLineChartView>(Rect(0, 0, 300, 232));
    chart->setFont(Font::systemFontOfSize(11));
    chart->setData(std::move(data));
    chart->calculateMetrics();
    return chart;
}

Image render(std::shared_ptr<QLLineChartView> chart) {
    // Over a white screen, as the report pages show it.
    ImageContext image(chart->bounds().size, true, 2);
    image.context().setFillColor(Color::whiteColor());
    image.context().fillRect(chart->bounds());
    chart->drawRect(image.context(), chart->bounds());
    return image.image();
}

bool isDark(const Color& c) {
    return c.red < 0.3 && c.green < 0.3 && c.blue < 0.3;
}
bool isOrange(const Color& c) {
    return c.red > 0.9 && std::abs(c.green - 0.5) < 0.15 && c.blue < 0.1;
}

} // namespace

TEST(QLLineChartView, ScaleOfThreeValues) {
    auto chart = exampleChart({12.5f, 30, 18});
    const auto& m = chart->metrics();
    ASSERT_EQ(m.textHeight, 13);
    ASSERT_EQ(m.plotArea, 200);
    EXPECT_EQ(m.scaleInterval, 10);
    EXPECT_EQ(m.scaleMax, 40);
    EXPECT_EQ(m.scaleMin, 10);
    EXPECT_EQ(m.scaleRange, 30);
    EXPECT_FLOAT_EQ(m.average, 60.5f / 3);
    EXPECT_EQ(chart->valueLabels(), (std::vector<std::string> {"10.00", "20.00", "30.00", "40.00"}));
    // The plot starts after the label column and the margin.
    EXPECT_EQ(m.minY, 10);
    EXPECT_EQ(m.maxY, 232 - 12 - 10);
    EXPECT_EQ(m.maxX, 290);
    EXPECT_EQ(m.axisXLabelMargin, TextLayout::sizeWithFont("30.00", chart->font()).width);
    EXPECT_EQ(m.minX, 10 + m.axisXLabelMargin);
    EXPECT_FLOAT_EQ(m.segmentWidth, (m.maxX - m.minX) / 2);
    EXPECT_FLOAT_EQ(chart->scaledValue(10), 0);
    EXPECT_FLOAT_EQ(chart->scaledValue(40), 200);
    EXPECT_FLOAT_EQ(chart->scaledValue(25), 100);
}

TEST(QLLineChartView, ScaleOfASingleValue) {
    auto chart = exampleChart({5});
    const auto& m = chart->metrics();
    EXPECT_EQ(m.scaleMin, 4);
    EXPECT_EQ(m.scaleMax, 12);
    EXPECT_EQ(m.scaleInterval, 2);
    EXPECT_EQ(chart->valueLabels(), (std::vector<std::string> {"4.00", "6.00", "8.00", "10.00", "12.00"}));
    EXPECT_EQ(m.segmentWidth, m.maxX - m.minX); // the whole plot width
    EXPECT_EQ(m.average, 5);
}

TEST(QLLineChartView, ScaleOfNegativeValuesReachesZero) {
    auto chart = exampleChart({-5, -3});
    const auto& m = chart->metrics();
    EXPECT_EQ(m.scaleMin, -5);
    EXPECT_GT(m.scaleMax, 0);
    EXPECT_LT(m.scaleMax, 1e-37f);
    EXPECT_EQ(m.scaleInterval, 1);
    EXPECT_EQ(chart->valueLabels(),
        (std::vector<std::string> {"-5.00", "-4.00", "-3.00", "-2.00", "-1.00", "0.00"}));
    // The label column is wide enough for the minus sign (the maximum alone reads "0.00").
    EXPECT_GE(m.axisXLabelMargin, TextLayout::sizeWithFont("-5.00", chart->font()).width);
    EXPECT_EQ(m.minX, 10 + m.axisXLabelMargin);
}

TEST(QLLineChartView, SnappedMaximumGetsAWideEnoughColumn) {
    // 95 snaps the top to 100: "100.00" is wider than the measured "95.00".
    auto chart = exampleChart({20, 95});
    EXPECT_EQ(chart->metrics().scaleMax, 100);
    EXPECT_EQ(chart->valueLabels().back(), "100.00");
    EXPECT_EQ(chart->metrics().axisXLabelMargin, TextLayout::sizeWithFont("100.00", chart->font()).width);
}

TEST(QLLineChartView, ScaleOfZeros) {
    auto chart = exampleChart({0, 0, 0});
    const auto& m = chart->metrics();
    EXPECT_EQ(m.scaleMin, 0);
    EXPECT_GT(m.scaleMax, 1.1e-38f);
    EXPECT_LT(m.scaleMax, 1.3e-38f);
    auto labels = chart->valueLabels();
    ASSERT_GE(labels.size(), 2u);
    for (const auto& label : labels)
        EXPECT_EQ(label, "0.00");
    EXPECT_TRUE(std::isfinite(chart->scaledValue(0)));
}

TEST(QLLineChartView, NonFiniteValuesAreLeftOut) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    auto chart = exampleChart({12.5f, nan, 30, inf, -inf, 18});
    EXPECT_EQ(chart->series(), (std::vector<float> {12.5f, 30, 18}));
    EXPECT_EQ(chart->data().size(), 6u); // the property keeps what was given
    auto plain = exampleChart({12.5f, 30, 18});
    EXPECT_EQ(chart->metrics().scaleMax, plain->metrics().scaleMax);
    EXPECT_EQ(chart->metrics().segmentWidth, plain->metrics().segmentWidth);

    auto onlyNaN = exampleChart({nan, nan});
    EXPECT_TRUE(onlyNaN->series().empty());
    EXPECT_TRUE(onlyNaN->valueLabels().empty());
}

TEST(QLLineChartView, ExtremeInputEndsAndDrawsNothingWild) {
    // Values at the float limit, a view too small for a plot, a huge spread: every draw
    // ends, with a bounded number of labels and no non-finite positions drawn.
    std::vector<std::vector<float>> series {
        {FLT_MAX, -FLT_MAX}, {FLT_MAX}, {1e-30f, 2e-30f}, {-1e30f, 1}, {FLT_MIN, FLT_MIN}};
    for (Rect frame : {Rect(0, 0, 320, 416), Rect(0, 0, 5, 5), Rect(0, 0, 0, 0)}) {
        for (const auto& data : series) {
            auto chart = std::make_shared<QLLineChartView>(frame);
            chart->setData(data);
            ImageContext image({std::max(1.0, frame.width()), std::max(1.0, frame.height())}, false, 1);
            chart->drawRect(image.context(), frame);
            EXPECT_LE(chart->valueLabels().size(), 1001u);
            EXPECT_TRUE(std::isfinite(chart->metrics().segmentWidth));
        }
    }
}

TEST(QLLineChartView, DelegateFormatsTheLabels) {
    struct Dollars : QLChartViewDelegate {
        std::optional<std::string> formatValue(float value, QLLineChartView&) override {
            return "$" + std::to_string(static_cast<int>(value));
        }
    };
    auto dollars = std::make_shared<Dollars>();
    auto chart = exampleChart({12.5f, 30, 18});
    chart->setDelegate(dollars);
    chart->calculateMetrics();
    EXPECT_EQ(chart->formatValue(7.9f), "$7");
    EXPECT_EQ(chart->valueLabels(), (std::vector<std::string> {"$10", "$20", "$30", "$40"}));
    EXPECT_EQ(chart->metrics().axisXLabelMargin, TextLayout::sizeWithFont("$30", chart->font()).width);

    struct Silent : QLChartViewDelegate { }; // implements nothing: the default format
    auto silent = std::make_shared<Silent>();
    chart->setDelegate(silent);
    EXPECT_EQ(chart->formatValue(7.9f), "7.90");
}

TEST(QLLineChartView, DrawsAxesPointsAndGridlines) {
    auto chart = exampleChart({12.5f, 30, 18});
    Image image = render(chart);
    const auto m = chart->metrics();
    // The vertical axis, just right of the label column.
    EXPECT_TRUE(isDark(image.colorAtPoint({m.minX + 0.25, 100})));
    // The horizontal axis.
    EXPECT_TRUE(isDark(image.colorAtPoint({200, m.maxY + 0.25})));
    // Points: the first at minX + 1 (value 12.5: 2.5 / 30 of the plot up), the last one
    // point right of the axis end (value 18).
    EXPECT_TRUE(isOrange(image.colorAtPoint({m.minX + 1, m.maxY - 200 * 2.5 / 30})));
    EXPECT_TRUE(isOrange(image.colorAtPoint({m.maxX + 1, m.maxY - 200 * 8.0 / 30})));
    EXPECT_TRUE(isOrange(image.colorAtPoint({m.minX + 1 + m.segmentWidth, m.maxY - 200 * 20.0 / 30})));
    // A gridline at the 20.00 level, between the points.
    double gridY = m.maxY - 200.0 / 3;
    Color grid = image.colorAtPoint({m.minX + 40, gridY + 0.25});
    EXPECT_NEAR(grid.red, 1.0 / 3, 0.05);

    chart->setShowGridlines(false);
    Image plain = render(chart);
    EXPECT_GT(plain.colorAtPoint({m.minX + 40, gridY + 0.25}).red, 0.7);
    // Ticks and labels stay.
    EXPECT_TRUE(isDark(plain.colorAtPoint({m.minX - 3, gridY + 0.25})));
}

TEST(QLLineChartView, EmptySeriesShowsOnlyTheMessage) {
    auto chart = std::make_shared<QLLineChartView>(Rect(0, 0, 320, 200));
    chart->setMinLabel("Jan 1");
    Image image = render(chart);
    // Dark text only in the band around the middle; no axes anywhere.
    Size message = TextLayout::sizeWithFont("No data.", chart->font());
    int darkInBand = 0, darkElsewhere = 0;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x) {
            if (!isDark(image.pixelAt(x, y)))
                continue;
            double py = y / 2.0;
            (std::abs(py - 100) <= message.height / 2 + 1 ? darkInBand : darkElsewhere)++;
        }
    EXPECT_GT(darkInBand, 20);
    EXPECT_EQ(darkElsewhere, 0);
    // The background runs from nearly white at the top to the gradient colour at the bottom.
    EXPECT_GT(image.colorAtPoint({5, 1}).red, 0.95);
    EXPECT_NEAR(image.colorAtPoint({5, 199}).red, 200 / 255.0, 0.02);
}
