#include "BenchShell.h"

#include <algorithm>
#include <chrono>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "app/VantrelMain.h"
#include "ui/Configuration.h"

BenchShell::BenchShell(const std::string& name, std::function<void()> fill) {
    m_root = std::filesystem::temp_directory_path()
        / ("vantrel-" + name + "-bench-" + std::to_string(::getpid()));
    m_thread = std::thread([this, fill = std::move(fill)] {
        shell::ShellOptions options;
        options.port = 0;
        options.dataDirectory = m_root.string();
        std::string error;
        bool started = m_runner.start(options, error);
        if (started) {
            m_runner.launch([this, &fill] {
                Configuration::setHelpBaseURL(m_runner.localBaseURL());
                fill();
                launchVantrel();
            });
        }
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

BenchShell::~BenchShell() {
    m_runner.stop();
    if (m_thread.joinable())
        m_thread.join();
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

double postTouches(
    httplib::Client& client, std::initializer_list<Touch> touches, bool* answered, std::uint64_t* frame) {
    nlohmann::json events = nlohmann::json::array();
    for (auto& touch : touches)
        events.push_back({{"type", touch.type}, {"x", touch.x}, {"y", touch.y}});
    std::string body = nlohmann::json {{"page", 1}, {"events", events}}.dump();
    auto start = std::chrono::steady_clock::now();
    auto result = client.Post("/input", body, "application/json");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bool ok = result && result->status == 200;
    if (answered)
        *answered = ok;
    if (ok && frame)
        *frame = nlohmann::json::parse(result->body)["frame"].get<std::uint64_t>();
    return seconds;
}

std::vector<ScreenText> screenTexts(httplib::Client& client) {
    std::vector<ScreenText> texts;
    auto result = client.Get("/state");
    if (!result || result->status != 200)
        return texts;
    auto state = nlohmann::json::parse(result->body, nullptr, false);
    if (!state.is_object() || !state.contains("texts"))
        return texts;
    for (auto& entry : state["texts"]) {
        texts.push_back({entry.value("text", ""), entry.value("x", 0.0) + entry.value("w", 0.0) / 2,
            entry.value("y", 0.0) + entry.value("h", 0.0) / 2});
    }
    return texts;
}

void setLatencyCounters(benchmark::State& state, std::vector<double> seconds) {
    if (seconds.empty())
        return;
    std::sort(seconds.begin(), seconds.end());
    state.counters["median_ms"] = seconds[seconds.size() / 2] * 1000;
    state.counters["p95_ms"] = seconds[std::min(seconds.size() - 1, seconds.size() * 95 / 100)] * 1000;
}
