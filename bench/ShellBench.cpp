// The browser shell from a touch posted over HTTP to its new frame being available (the
// answer to the input names the frame, which is drawn, compared with the one before and
// encoded by then), with Vantrel itself running on a garage of 20 cars: a tap on "+" that
// pushes the car editor, and the moves of a finger scrolling the list of cars. Each
// iteration's time is one touch; the counters add the median and the 95th percentile in
// milliseconds and the frame sizes in bytes.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include <httplib.h>

#include "BenchShell.h"
#include "data/DB.h"
#include "model/Vehicle.h"

namespace {

const char* const kMakes[] = {"Roadster", "Tourer", "Estate", "Coupe", "Hatch"};

// Twenty cars with every detail the list shows, stored before the application launches.
void fillGarage() {
    DB::connect();
    for (int i = 0; i < 20; ++i) {
        Vehicle car;
        car.name = "Car " + std::to_string(i + 1);
        car.make = kMakes[i % 5];
        car.model = "Model " + std::to_string(i % 7 + 1);
        car.year = 2004 + i % 15;
        car.odometer = 12000 + 7919 * i;
        DB::saveVehicle(car);
    }
    DB::disconnect();
}

// The shell runs on a thread of its own (its main loop) for as long as the benchmarks.
BenchShell& runningShell() {
    static BenchShell shell("shell", fillGarage);
    return shell;
}

size_t bytesOf(httplib::Client& client, const std::string& path) {
    auto result = client.Get(path.c_str());
    return result && result->status == 200 ? result->body.size() : 0;
}

// Whether a text on the screen reads `text`, as the shell's state tells scripts.
bool screenShows(httplib::Client& client, const std::string& text, std::string* seen = nullptr) {
    bool found = false;
    for (const ScreenText& shown : screenTexts(client)) {
        found = found || shown.text == text;
        if (seen)
            *seen += shown.text + " | ";
    }
    return found;
}

// One benchmark's connection to the shell and what it measured: the touches it times, the
// bytes of each changed region, and the counters it reports at the end.
class Measurement {
public:
    explicit Measurement(benchmark::State& state)
        : m_state(state)
        , m_client("127.0.0.1", std::max(0, runningShell().port())) {
        if (runningShell().port() < 0)
            state.SkipWithError("the shell could not start");
    }
    ~Measurement() {
        if (m_latencies.empty())
            return;
        setLatencyCounters(m_state, m_latencies);
        m_state.counters["patch_bytes"] = double(m_patchBytes) / double(m_latencies.size());
        m_state.counters["frame_bytes"] = double(bytesOf(m_client, "/frame.png"));
    }

    bool ready() const { return runningShell().port() > 0; }
    httplib::Client& client() { return m_client; }

    // Posts touches as the iteration's timed work and fetches the region they changed.
    void timed(std::initializer_list<Touch> touches) {
        std::uint64_t frame = 0;
        double seconds = postTouches(m_client, touches, nullptr, &frame);
        m_state.SetIterationTime(seconds);
        m_latencies.push_back(seconds);
        m_patchBytes += bytesOf(m_client, "/patch?scale=2&seq=" + std::to_string(frame));
    }
    size_t count() const { return m_latencies.size(); }

private:
    benchmark::State& m_state;
    httplib::Client m_client;
    std::vector<double> m_latencies;
    size_t m_patchBytes {0};
};

void BM_ShellTapPushesScreen(benchmark::State& state) {
    Measurement measurement(state);
    if (!measurement.ready())
        return;
    for (auto _ : state) {
        measurement.timed({{"down", 137, 457}, {"up", 137, 457}}); // "+" on the toolbar
        std::string seen;
        if (measurement.count() == 1 && !screenShows(measurement.client(), "Add Car", &seen)) {
            state.SkipWithError(("the tap did not open the car editor; the screen shows " + seen).c_str());
            return;
        }
        postTouches(measurement.client(), {{"down", 30, 42}, {"up", 30, 42}}); // back to the cars
    }
}
BENCHMARK(BM_ShellTapPushesScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

void BM_ShellScrollTwentyCars(benchmark::State& state) {
    Measurement measurement(state);
    if (!measurement.ready())
        return;
    httplib::Client& client = measurement.client();
    double y = 400;
    double step = -12;
    postTouches(client, {{"down", 160, y}});
    for (auto _ : state) {
        if ((step < 0 && y + step < 80) || (step > 0 && y + step > 420)) {
            postTouches(client, {{"up", 160, y}});
            step = -step;
            postTouches(client, {{"down", 160, y}});
        }
        y += step;
        measurement.timed({{"move", 160, y}});
    }
    postTouches(client, {{"up", 160, y}});
}
BENCHMARK(BM_ShellScrollTwentyCars)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace
