#include "platform/graphics/ImageContext.h"
#include "reports/QLLineChartView.h"
#include "reports/QLPieChartView.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace platform::graphics;

namespace {

void BM_ChartLineThousandPoints(benchmark::State& state) {
    std::vector<float> data;
    for (int i = 0; i < 1000; ++i)
        data.push_back(25 + 5 * std::sin(i * 0.05f) + (i % 7) * 0.3f);
    QLLineChartView chart(Rect(0, 0, 320, 416));
    chart.setTitle("MPG (US)");
    chart.setMinLabel("Jan 1, 2025");
    chart.setMaxLabel("Dec 31, 2025");
    chart.setData(std::move(data));
    ImageContext image({320, 416}, true, 2);
    for (auto _ : state)
        chart.drawRect(image.context(), chart.bounds());
}
BENCHMARK(BM_ChartLineThousandPoints)->Unit(benchmark::kMillisecond);

void BM_ChartPieFourSlices(benchmark::State& state) {
    QLPieChartView chart(Rect(0, 0, 320, 416));
    chart.setTitle("Service Status");
    chart.setData(
        {{5, "Service Performed", Color::fromHex(0x4AA600)}, {1, "Due Soon", Color::fromHex(0xFFC002)},
            {2, "Overdue", Color::fromHex(0x9A0000)}, {1, "Not Recorded", Color::fromHex(0x5E6467)}});
    ImageContext image({320, 416}, true, 2);
    for (auto _ : state)
        chart.drawRect(image.context(), chart.bounds());
}
BENCHMARK(BM_ChartPieFourSlices)->Unit(benchmark::kMillisecond);

} // namespace
