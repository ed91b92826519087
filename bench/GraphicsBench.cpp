#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"

#include <benchmark/benchmark.h>

using namespace platform::graphics;

namespace {

// One table row's worth of text: a title and a detail line at scale 2.
void BM_GraphicsDrawTableRowText(benchmark::State& state) {
    ImageContext image({320, 44}, false, 2);
    Context& ctx = image.context();
    Font title = Font::boldSystemFontOfSize(17), detail = Font::systemFontOfSize(14);
    for (auto _ : state) {
        ctx.clearRect({0, 0, 320, 44});
        ctx.setFillColor(Color::black());
        ctx.drawText("Oil and filter change", Rect(10, 4, 250, 22), title, LineBreakMode::TailTruncation);
        ctx.setFillColor(Color::gray());
        ctx.drawText(
            "Due in 1,250 mi or 3 months", Rect(10, 24, 250, 18), detail, LineBreakMode::TailTruncation);
    }
}
BENCHMARK(BM_GraphicsDrawTableRowText);

void BM_GraphicsMeasureText(benchmark::State& state) {
    Font font = Font::systemFontOfSize(12);
    for (auto _ : state)
        benchmark::DoNotOptimize(TextLayout::sizeWithFont("1,234.56", font));
}
BENCHMARK(BM_GraphicsMeasureText);

// A rounded badge filled under a soft shadow, as the vehicle list draws one per row.
void BM_GraphicsShadowedShape(benchmark::State& state) {
    ImageContext image({100, 100}, false, 2);
    Context& ctx = image.context();
    for (auto _ : state) {
        ctx.clearRect({0, 0, 100, 100});
        ctx.saveGState();
        ctx.setShadowWithColor({0, 0}, static_cast<double>(state.range(0)), Color::black());
        ctx.setFillColor(Color::rgba(1, 0, 0));
        ctx.moveToPoint(20, 50);
        ctx.addArcToPoint(20, 30, 40, 30, 20);
        ctx.addArcToPoint(80, 30, 80, 50, 20);
        ctx.addArcToPoint(80, 70, 60, 70, 20);
        ctx.addArcToPoint(20, 70, 20, 50, 20);
        ctx.closePath();
        ctx.fillPath();
        ctx.restoreGState();
    }
}
BENCHMARK(BM_GraphicsShadowedShape)->Arg(0)->Arg(5)->Arg(20);

void BM_GraphicsFilledShape(benchmark::State& state) {
    ImageContext image({320, 480}, false, 2);
    Context& ctx = image.context();
    for (auto _ : state) {
        ctx.setFillColor(Color::fromHex(0x336699));
        ctx.fillEllipseInRect({10, 10, 300, 460});
    }
}
BENCHMARK(BM_GraphicsFilledShape);

// A full screen frame encoded for the browser.
void BM_GraphicsEncodeFrame(benchmark::State& state) {
    ImageContext image({320, 480}, true, 2);
    Context& ctx = image.context();
    ctx.drawLinearGradient(
        {{{0, Color::fromHex(0xf0f0f0)}, {1, Color::fromHex(0xcccccc)}}}, {0, 0}, {0, 480});
    ctx.setFillColor(Color::black());
    for (int row = 0; row < 10; ++row)
        ctx.drawText("Row text for the frame", Rect(10, 20 + row * 44, 300, 20), Font::systemFontOfSize(17));
    Image frame = image.image();
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.pngData(state.range(0) != 0));
}
BENCHMARK(BM_GraphicsEncodeFrame)->Arg(1)->Arg(0);

} // namespace
