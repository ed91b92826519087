// The frame the shell sends after a push, alone: Vantrel's car editor on a 390 x 844 phone
// (320 x 692 points, the phone's own keyboard instead of the drawn one), drawn and encoded as
// a whole frame at pixel ratio 3 (1170 pixels across) and 1 (390 across), for a page that
// holds the theme's background (the backdrop) already. The time is the
// encoding (in two bands on two cores when large); the counters add the drawing, each step's
// processor time on this thread, and the bytes. browser_bench.py sets these beside the
// tap-to-screen times it measures in the browser. VANTREL_KEEP_FRAME=<path prefix> writes
// the frame as a PNG for a person to look at.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unistd.h>

#include "app/RootViewController.h"
#include "app/VantrelMain.h"
#include "platform/base/FileSystem.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Sandbox.h"
#include "platform/views/Application.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"
#include "platform/views/Window.h"
#include "shell/FrameStream.h"

namespace {

using namespace platform::views;

// This thread's processor time, which other work on a busy machine does not inflate.
double threadMilliseconds() {
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void BM_EncodeFrame(benchmark::State& state, double pixelsAcross) {
    auto root
        = std::filesystem::temp_directory_path() / ("vantrel-frame-bench-" + std::to_string(::getpid()));
    platform::Sandbox::setRoot(root.string());
    Screen::mainScreen().setHeight(692);
    Application& application = Application::sharedApplication();
    application.reset();
    auto delegate = launchVantrel();
    platform::RunLoop::main().runUntilIdle();
    Window* window = application.keyWindow();
    window->setHostKeyboard(true);
    auto* navigation = dynamic_cast<NavigationController*>(window->rootViewController().get());
    if (auto* root = navigation
            ? dynamic_cast<RootViewController*>(navigation->viewControllers().front().get())
            : nullptr)
        root->addButtonPressed();
    platform::RunLoop::main().runUntilIdle();

    double scale = pixelsAcross / Screen::kWidth;
    double rendering = 0, renderingCPU = 0, encodingCPU = 0;
    size_t bytes = 0;
    platform::graphics::Image spare;
    window->backdropVersion();
    const platform::graphics::Image backdrop = window->renderBackdrop(scale);
    for (auto _ : state) {
        // As to a page that holds the backdrop already.
        shell::FrameStream stream(scale);
        stream.setBackdrop(1, backdrop);
        if (!stream.backdropPNG(stream.backdropKey()))
            state.SkipWithError("no backdrop");
        auto start = std::chrono::steady_clock::now();
        double cpu0 = threadMilliseconds();
        auto image = window->render(scale, std::move(spare));
        double cpu1 = threadMilliseconds();
        auto drawn = std::chrono::steady_clock::now();
        auto notices = stream.publish(image);
        double cpu2 = threadMilliseconds();
        auto end = std::chrono::steady_clock::now();
        spare = std::move(image);
        rendering += std::chrono::duration<double, std::milli>(drawn - start).count();
        renderingCPU += cpu1 - cpu0;
        encodingCPU += cpu2 - cpu1; // the first band's; the second is encoded beside it
        bytes = 0;
        for (auto& notice : notices)
            bytes += stream.patchPNG(notice.sequence)->size();
        state.SetIterationTime(std::chrono::duration<double>(end - drawn).count());
    }
    state.counters["render_ms"] = rendering / double(state.iterations());
    state.counters["render_cpu_ms"] = renderingCPU / double(state.iterations());
    state.counters["encode_cpu_ms"] = encodingCPU / double(state.iterations());
    if (const char* keep = std::getenv("VANTREL_KEEP_FRAME")) {
        shell::FrameStream stream(scale);
        stream.publish(window->render(scale));
        platform::fs::writeFileAtomically(
            std::string(keep) + "-" + std::to_string(int(pixelsAcross)) + ".png", *stream.framePNG());
    }
    state.counters["bytes"] = double(bytes);

    application.terminate();
    application.reset();
    platform::RunLoop::main().reset();
    Screen::mainScreen().setHeight(Screen::kMinimumHeight);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}
BENCHMARK_CAPTURE(BM_EncodeFrame, ratio3, 1170.0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_EncodeFrame, ratio1, 390.0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

} // namespace
