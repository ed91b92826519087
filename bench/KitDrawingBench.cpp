// Drawing costs of the presentation kit: the shell renders a frame after every event, so
// the screen background, the odometer drums and the badges are drawn again each time.

#include <benchmark/benchmark.h>

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/ImageExtensions.h"
#include "platform/graphics/ImageContext.h"
#include "ui/BadgeView.h"
#include "ui/OdometerView.h"
#include "ui/ThemedView.h"
#include "ui/ThemedViewController.h"

using namespace platform::graphics;

namespace {

void drawView(benchmark::State& state, platform::views::View& view) {
    ImageContext image(view.frame().size, false, 2);
    for (auto _ : state) {
        image.context().clearRect({{0, 0}, view.frame().size});
        view.renderInContext(image.context());
        benchmark::ClobberMemory();
    }
}

void BM_ThemedViewBackground(benchmark::State& state) {
    ThemedViewController::setSelectedTheme(9);
    ThemedView background(platform::views::Rect(0, 0, 320, 416));
    drawView(state, background);
}
BENCHMARK(BM_ThemedViewBackground);

void BM_OdometerDrum(benchmark::State& state) {
    OdometerView odometer(platform::views::Rect(0, 0, 150, 0));
    odometer.setValue(123456);
    drawView(state, odometer);
}
BENCHMARK(BM_OdometerDrum);

void BM_Badge(benchmark::State& state) {
    BadgeView badge;
    badge.setText("12");
    drawView(state, badge);
}
BENCHMARK(BM_Badge);

void BM_StretchableGlossyImage(benchmark::State& state) {
    const Color tint = colorWithHex(0x3781DF);
    for (auto _ : state)
        benchmark::DoNotOptimize(stretchableGlossyImageWithColor(tint, 44, 11));
}
BENCHMARK(BM_StretchableGlossyImage);

} // namespace
