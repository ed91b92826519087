// The browser shell from a touch posted over HTTP to its new frame being available (the
// answer to the input names the frame, which is drawn, compared with the one before and
// encoded by then): a tap that pushes a screen, and the moves of a finger scrolling a list
// of 20 cars. Each iteration's time is one touch; the counters add the median and the 95th
// percentile in milliseconds and the frame sizes in bytes.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "platform/base/RunLoop.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "platform/views/TableViewCell.h"
#include "platform/views/TableViewController.h"
#include "platform/views/Window.h"
#include "shell/ShellRunner.h"

namespace {

using namespace platform::views;

class CarList : public TableViewController {
public:
    CarList() { setTitle("Cars"); }
    int numberOfRowsInSection(TableView&, int) override { return 20; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath indexPath) override {
        auto cell = table.dequeueReusableCellWithIdentifier("Car");
        if (!cell)
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "Car");
        cell->textLabel().setText("Car " + std::to_string(indexPath.row + 1));
        if (cell->detailTextLabel())
            cell->detailTextLabel()->setText("2010 Roadster, 42,000 km");
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
    void didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) override {
        table.deselectRowAtIndexPath(indexPath, true);
        auto detail = std::make_shared<ViewController>();
        detail->setTitle("Car " + std::to_string(indexPath.row + 1));
        navigationController()->pushViewController(detail, true);
    }
};

class Garage : public ApplicationDelegate {
public:
    bool didFinishLaunchingWithOptions(Application&, const platform::Dictionary&) override {
        m_navigation = std::make_shared<NavigationController>(std::make_shared<CarList>());
        m_window = std::make_shared<Window>();
        m_window->setRootViewController(m_navigation);
        m_window->makeKeyAndVisible();
        return true;
    }

private:
    std::shared_ptr<NavigationController> m_navigation;
    std::shared_ptr<Window> m_window;
};

// The shell runs on a thread of its own (its main loop) for as long as the benchmarks.
class RunningShell {
public:
    static RunningShell& shared() {
        static RunningShell shell;
        return shell;
    }

    int port() const { return m_port; }

    ~RunningShell() {
        m_runner.stop();
        if (m_thread.joinable())
            m_thread.join();
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

private:
    RunningShell() {
        m_root
            = std::filesystem::temp_directory_path() / ("vantrel-shell-bench-" + std::to_string(::getpid()));
        m_thread = std::thread([this] {
            shell::ShellOptions options;
            options.port = 0;
            options.dataDirectory = m_root.string();
            std::string error;
            bool started = m_runner.start(
                options,
                [] {
                    Application::sharedApplication().setDelegate(std::make_shared<Garage>());
                    Application::sharedApplication().launch();
                },
                error);
            {
                std::lock_guard lock(m_mutex);
                m_port = started ? m_runner.port() : -1;
            }
            m_ready.notify_all();
            if (started)
                m_runner.run();
        });
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return m_port != 0; });
    }

    std::filesystem::path m_root;
    shell::ShellRunner m_runner;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    int m_port {0};
};

struct Touch {
    const char* type;
    double x;
    double y;
};

// Posts one batch of touches and answers the seconds until the new frame was available.
double post(httplib::Client& client, std::initializer_list<Touch> touches, std::uint64_t* frame = nullptr) {
    nlohmann::json events = nlohmann::json::array();
    for (auto& touch : touches)
        events.push_back({{"type", touch.type}, {"x", touch.x}, {"y", touch.y}});
    std::string body = nlohmann::json {{"page", 1}, {"events", events}}.dump();
    auto start = std::chrono::steady_clock::now();
    auto result = client.Post("/input", body, "application/json");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (result && result->status == 200 && frame)
        *frame = nlohmann::json::parse(result->body)["frame"].get<std::uint64_t>();
    return seconds;
}

size_t bytesOf(httplib::Client& client, const std::string& path) {
    auto result = client.Get(path.c_str());
    return result && result->status == 200 ? result->body.size() : 0;
}

void report(benchmark::State& state, std::vector<double> latencies) {
    if (latencies.empty())
        return;
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2] * 1000;
    state.counters["p95_ms"] = latencies[std::min(latencies.size() - 1, latencies.size() * 95 / 100)] * 1000;
}

void BM_ShellTapPushesScreen(benchmark::State& state) {
    RunningShell& shell = RunningShell::shared();
    if (shell.port() < 0) {
        state.SkipWithError("the shell could not start");
        return;
    }
    httplib::Client client("127.0.0.1", shell.port());
    std::vector<double> latencies;
    size_t patchBytes = 0;
    for (auto _ : state) {
        std::uint64_t frame = 0;
        double seconds = post(client, {{"down", 160, 100}, {"up", 160, 100}}, &frame); // the second row
        state.SetIterationTime(seconds);
        latencies.push_back(seconds);
        patchBytes += bytesOf(client, "/patch?scale=2&seq=" + std::to_string(frame));
        post(client, {{"down", 30, 42}, {"up", 30, 42}}); // back
    }
    report(state, latencies);
    state.counters["patch_bytes"] = double(patchBytes) / double(std::max<size_t>(1, latencies.size()));
    state.counters["frame_bytes"] = double(bytesOf(client, "/frame.png"));
}
BENCHMARK(BM_ShellTapPushesScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

void BM_ShellScrollTwentyCars(benchmark::State& state) {
    RunningShell& shell = RunningShell::shared();
    if (shell.port() < 0) {
        state.SkipWithError("the shell could not start");
        return;
    }
    httplib::Client client("127.0.0.1", shell.port());
    std::vector<double> latencies;
    size_t patchBytes = 0;
    double y = 400;
    double step = -12;
    post(client, {{"down", 160, y}});
    for (auto _ : state) {
        if ((step < 0 && y + step < 80) || (step > 0 && y + step > 440)) {
            post(client, {{"up", 160, y}});
            step = -step;
            post(client, {{"down", 160, y}});
        }
        y += step;
        std::uint64_t frame = 0;
        double seconds = post(client, {{"move", 160, y}}, &frame);
        state.SetIterationTime(seconds);
        latencies.push_back(seconds);
        patchBytes += bytesOf(client, "/patch?scale=2&seq=" + std::to_string(frame));
    }
    post(client, {{"up", 160, y}});
    report(state, latencies);
    state.counters["patch_bytes"] = double(patchBytes) / double(std::max<size_t>(1, latencies.size()));
    state.counters["frame_bytes"] = double(bytesOf(client, "/frame.png"));
}
BENCHMARK(BM_ShellScrollTwentyCars)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace
