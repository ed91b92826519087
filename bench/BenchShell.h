#pragma once

// What the benchmarks of the browser shell share: the shell with Vantrel running on a thread
// of its own, touches posted to it over HTTP, the texts its state tells scripts, and the
// latency counters.

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "platform/base/RunLoop.h"
#include "shell/ShellRunner.h"

// The shell on a thread of its own (its main loop), over a data folder of its own that
// `fill` stocks, on that thread, before the application launches. It stops and removes the
// folder when destroyed, so that another shell may run after it in this process.
class BenchShell {
public:
    BenchShell(const std::string& name, std::function<void()> fill);
    ~BenchShell();
    BenchShell(const BenchShell&) = delete;
    BenchShell& operator=(const BenchShell&) = delete;

    // The shell's port, or -1 when it could not start.
    int port() const { return m_port; }

    // Runs `work` on the application's main loop and waits for it.
    template<class Work> auto onMain(Work work) {
        std::packaged_task<decltype(work())()> task(std::move(work));
        auto result = task.get_future();
        platform::RunLoop::main().post([&task] { task(); });
        return result.get();
    }

private:
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

// Posts one batch of touches and answers the seconds until the shell answered (by then the
// new frame is drawn, compared with the one before and encoded). `answered` tells whether
// the shell took the input, and `frame` the number of the frame it named.
double postTouches(httplib::Client& client, std::initializer_list<Touch> touches, bool* answered = nullptr,
    std::uint64_t* frame = nullptr);

struct ScreenText {
    std::string text;
    // The text's centre.
    double x {0}, y {0};
};

// The texts on the screen, as the shell's state tells scripts; none when it does not answer.
std::vector<ScreenText> screenTexts(httplib::Client& client);

// The counters median_ms and p95_ms of the times taken, in seconds.
void setLatencyCounters(benchmark::State& state, std::vector<double> seconds);
