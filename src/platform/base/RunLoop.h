#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/base/Date.h"

namespace platform {

// The main thread's loop: input events, posted calls, timers and HTTP completions all
// arrive here. Calls posted from one thread run in the order they were posted.
//
// Timers fire by the platform Clock, so a test that advances the clock and then runs
// runUntilIdle() fires every timer that has come due without sleeping.
class RunLoop {
public:
    using Task = std::function<void()>;
    using TimerId = std::uint64_t;

    static RunLoop& main();

    // Post a call to run on the main loop; safe from any thread, never waits.
    void post(Task task);
    // Run `task` on the main loop once `seconds` have passed on the platform clock.
    TimerId performAfterDelay(double seconds, Task task);
    void cancel(TimerId timer);

    // How many posted calls and timers have run so far: what ran since a moment is what may
    // have changed since.
    std::uint64_t tasksRun() const;
    // Runs posted calls and due timers until none is left; returns how many ran.
    // Does not wait for background threads.
    int runUntilIdle();
    // Runs the loop until `done()` is true or `timeoutSeconds` of real time pass, waiting
    // for posts from other threads in between. Returns done().
    bool runUntil(const std::function<bool()>& done, double timeoutSeconds = 10);
    // Runs until stop() is called (the shell's main loop).
    void run();
    void stop();
    // Wakes the loop (used by the shell when events arrive from its server threads).
    void wake();
    // Called by run() each time it has run calls or timers and is about to wait again
    // (the shell renders a frame there, once per burst of events). None by default.
    void setBeforeWaitingObserver(Task observer);

    // Starts a detached thread for background work (backup and restore). The number of
    // background threads still running is available for tests.
    void runInBackground(Task task);
    int backgroundThreadCount() const;
    // Blocks until every background thread has finished, running main-loop calls meanwhile.
    bool waitForBackgroundThreads(double timeoutSeconds = 30);

    bool isMainThread() const;
    // Tests: drop every pending call and timer (between tests in one process).
    void reset();

private:
    RunLoop();
    bool runOne(std::unique_lock<std::mutex>& lock);
    double secondsUntilNextTimer() const; // needs m_mutex

    struct Timer {
        TimerId id;
        Date fireDate;
        Task task;
    };
    mutable std::mutex m_mutex;
    std::condition_variable m_wakeup;
    std::deque<Task> m_posted;
    std::vector<Timer> m_timers;
    TimerId m_nextTimer {1};
    bool m_stopRequested {false};
    Task m_beforeWaiting;
    int m_background {0};
    std::uint64_t m_tasksRun {0};
    std::thread::id m_mainThread;
};

// Shorthands used throughout the application.
inline void dispatchToMain(RunLoop::Task task) {
    RunLoop::main().post(std::move(task));
}
inline void runInBackground(RunLoop::Task task) {
    RunLoop::main().runInBackground(std::move(task));
}

} // namespace platform
