#include "reports/QLPieChartView.h"
#include "platform/graphics/ImageContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using namespace platform::graphics;

namespace {

const Color kRed = Color::rgba(1, 0, 0), kGreen = Color::rgba(0, 1, 0), kBlue = Color::rgba(0, 0, 1);

std::shared_ptr<QLPieChartView> pie(Rect frame, std::vector<QLPieChartData> data) {
    auto chart = std::make_shared<QLPieChartView>(frame);
    chart->setData(std::move(data));
    chart->calculateMetrics();
    return chart;
}

Image render(std::shared_ptr<QLPieChartView> chart) {
    ImageContext image(chart->bounds().size, true, 2);
    image.context().setFillColor(Color::whiteColor());
    image.context().fillRect(chart->bounds());
    chart->drawRect(image.context(), chart->bounds());
    return image.image();
}

bool near(const Color& c, const Color& expected) {
    return std::abs(c.red - expected.red) < 0.05 && std::abs(c.green - expected.green) < 0.05
        && std::abs(c.blue - expected.blue) < 0.05;
}

std::vector<QLPieChartData> items(std::initializer_list<float> values) {
    std::vector<QLPieChartData> result;
    const Color colors[] = {kRed, kGreen, kBlue, Color::rgba(1, 1, 0)};
    int i = 0;
    for (float value : values) {
        result.emplace_back(value, "Item " + std::to_string(i), colors[i % 4]);
        ++i;
    }
    return result;
}

} // namespace

TEST(QLPieChartView, SquareAreaPutsTheKeyBelowInACentredRow) {
    auto chart = pie(Rect(0, 0, 300, 300), items({1, 2}));
    const auto& m = chart->metrics();
    EXPECT_EQ(m.radius, 126);
    EXPECT_EQ(m.x, 150);
    EXPECT_EQ(m.y, 136);
    EXPECT_EQ(m.keyRect, Rect(10, 272, 280, 18));
    EXPECT_EQ(m.totalValue, 3);

    auto layout = chart->keyLayout();
    ASSERT_EQ(layout.size(), 2u);
    const Rect key = m.keyRect;
    EXPECT_EQ(layout[0].dot.y(), layout[1].dot.y());
    double left = layout[0].dot.minX() - key.minX();
    double right = key.maxX() - (layout[1].text.maxX() + 5); // each entry is followed by 5
    EXPECT_NEAR(left, right, 1e-9);
    EXPECT_EQ(layout[0].text.minX(), layout[0].dot.minX() + 13);
    EXPECT_EQ(layout[1].dot.minX(), layout[0].text.maxX() + 5);
    EXPECT_EQ(layout[0].label, "Item 0 (1.00)");
    // The dot is centred on the text line.
    EXPECT_NEAR(layout[0].dot.midY(), layout[0].text.midY(), 1e-9);
}

TEST(QLPieChartView, WideAreaPutsTheKeyRight) {
    auto chart = pie(Rect(0, 0, 460, 200), items({1}));
    const auto& m = chart->metrics();
    EXPECT_FLOAT_EQ(m.radius, 93.6f);
    EXPECT_FLOAT_EQ(m.x, 103.6f);
    EXPECT_FLOAT_EQ(m.y, 100);
    EXPECT_NEAR(m.keyRect.minX(), 207.2, 1e-4);
    EXPECT_NEAR(m.keyRect.maxX(), 450, 1e-4);
    EXPECT_EQ(m.keyRect.minY(), 10);
    EXPECT_EQ(m.keyRect.maxY(), 190);
}

TEST(QLPieChartView, SlicesFollowClockwiseFromThreeOClock) {
    auto chart = pie(Rect(0, 0, 300, 300), items({1, 1, 2}));
    auto angles = chart->sliceAngles();
    ASSERT_EQ(angles.size(), 3u);
    EXPECT_DOUBLE_EQ(angles[0].first, 0);
    EXPECT_DOUBLE_EQ(angles[0].second, 90);
    EXPECT_DOUBLE_EQ(angles[1].second, 180);
    EXPECT_DOUBLE_EQ(angles[2].second, 360);

    Image image = render(chart);
    const auto& m = chart->metrics();
    double r = m.radius / 2;
    EXPECT_TRUE(near(image.colorAtPoint({m.x + r, m.y + r}), kRed)); // lower right
    EXPECT_TRUE(near(image.colorAtPoint({m.x - r, m.y + r}), kGreen)); // lower left
    EXPECT_TRUE(near(image.colorAtPoint({m.x - r, m.y - r}), kBlue)); // the upper half
    EXPECT_TRUE(near(image.colorAtPoint({m.x + r, m.y - r}), kBlue));
    // Outlined in dark grey along the 3 o'clock radius.
    EXPECT_NEAR(image.colorAtPoint({m.x + r, m.y + 0.25}).red, 1.0 / 3, 0.1);
}

TEST(QLPieChartView, KeyRowsWrapAndOversizeItemsGetTheirOwnRow) {
    std::vector<QLPieChartData> data = items({1, 2, 3, 4});
    data[2].label = std::string(200, 'W'); // far wider than the key
    auto chart = pie(Rect(0, 0, 320, 416), data);
    auto layout = chart->keyLayout();
    ASSERT_EQ(layout.size(), 4u);
    const Rect key = chart->metrics().keyRect;
    EXPECT_EQ(layout[0].text.y(), layout[1].text.y()); // items 0 and 1 share a row
    EXPECT_GT(layout[2].text.y(), layout[1].text.y()); // the wide one is alone
    EXPECT_EQ(layout[2].dot.minX(), key.minX());
    EXPECT_LE(layout[2].text.maxX(), key.maxX()); // and cut at the key's edge
    EXPECT_GT(layout[3].text.y(), layout[2].text.y());
    EXPECT_FALSE(chart->keyClipped());
    for (const auto& item : layout)
        EXPECT_GE(item.dot.minX(), key.minX() - 1e-9);

    // A key with no width at all still places every item once.
    auto narrow = pie(Rect(0, 0, 20, 300), items({1, 2, 3}));
    EXPECT_EQ(narrow->keyLayout().size(), 3u);
}

TEST(QLPieChartView, KeyColumnIsCentredOrClipped) {
    auto chart = pie(Rect(0, 0, 480, 268), items({1, 2, 3}));
    const Rect key = chart->metrics().keyRect;
    auto layout = chart->keyLayout();
    ASSERT_EQ(layout.size(), 3u);
    EXPECT_EQ(layout[0].dot.minX(), key.minX() + 15);
    double th = layout[0].text.height();
    EXPECT_EQ(layout[1].text.y(), layout[0].text.y() + th + 5);
    double columnHeight = 3 * (th + 5);
    EXPECT_NEAR(layout[0].text.y(), key.y() + (key.height() - columnHeight) / 2, 1e-9);
    EXPECT_FALSE(chart->keyClipped());

    std::vector<QLPieChartData> many;
    for (int i = 0; i < 40; ++i)
        many.emplace_back(1.0f, "Slice " + std::to_string(i), kRed);
    auto crowded = pie(Rect(0, 0, 480, 268), many);
    auto column = crowded->keyLayout();
    EXPECT_TRUE(crowded->keyClipped());
    EXPECT_EQ(column.front().text.y(), crowded->metrics().keyRect.y()); // starts at the top
    render(crowded); // and draws
}

TEST(QLPieChartView, NothingToShowDrawsTheMessage) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (auto data : {items({}), items({0, 0, 0}), items({nan, nan})}) {
        auto chart = pie(Rect(0, 0, 300, 300), data);
        EXPECT_TRUE(chart->sliceAngles().empty());
        Image image = render(chart);
        const auto& m = chart->metrics();
        // No pie where the pie would be; dark text around the vertical middle.
        EXPECT_GT(image.colorAtPoint({m.x + 40, m.y + 40}).red, 0.7);
        int dark = 0;
        for (int x = 0; x < image.pixelWidth(); ++x)
            for (int y = 280; y < 320; ++y)
                dark += image.pixelAt(x, y).red < 0.3;
        EXPECT_GT(dark, 10);
    }
}

TEST(QLPieChartView, NonFiniteAndNegativeValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto chart = pie(Rect(0, 0, 300, 300), items({1, nan, -5, 3}));
    EXPECT_EQ(chart->items().size(), 3u); // NaN left out
    EXPECT_EQ(chart->metrics().totalValue, 4);
    auto angles = chart->sliceAngles();
    ASSERT_EQ(angles.size(), 3u);
    EXPECT_DOUBLE_EQ(angles[0].second, 90);
    EXPECT_DOUBLE_EQ(angles[1].first, angles[1].second); // the negative value: no slice
    EXPECT_DOUBLE_EQ(angles[2].second, 360);
    EXPECT_EQ(chart->keyLayout().size(), 3u); // but a key entry
    render(chart);
}

TEST(QLPieChartView, DrawsInsideAViewTree) {
    auto screen = std::make_shared<platform::views::View>(Rect(0, 0, 320, 480));
    screen->setBackgroundColor(Color::whiteColor());
    auto chart = std::make_shared<QLPieChartView>(Rect(0, 64, 320, 416));
    chart->setData(items({1}));
    screen->addSubview(chart);
    ImageContext image({320, 480}, true, 2);
    screen->renderInContext(image.context());
    chart->calculateMetrics();
    const auto& m = chart->metrics();
    // A single slice fills the whole pie, at the chart's place on the screen.
    EXPECT_TRUE(near(image.image().colorAtPoint({m.x, 64 + m.y + m.radius / 2}), kRed));
    EXPECT_GT(image.image().colorAtPoint({m.x, 30}).red, 0.9);
}
