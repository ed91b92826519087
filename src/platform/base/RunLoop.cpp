#include "platform/base/RunLoop.h"

#include <algorithm>
#include <chrono>

#include "platform/base/Clock.h"

namespace platform {

RunLoop::RunLoop()
    : m_mainThread(std::this_thread::get_id()) { }

RunLoop& RunLoop::main() {
    static RunLoop loop;
    return loop;
}

void RunLoop::post(Task task) {
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(task));
    }
    m_wakeup.notify_all();
}

RunLoop::TimerId RunLoop::performAfterDelay(double seconds, Task task) {
    TimerId id;
    {
        std::lock_guard lock(m_mutex);
        id = m_nextTimer++;
        m_timers.push_back({id, Clock::now().addingTimeInterval(std::max(0.0, seconds)), std::move(task)});
    }
    m_wakeup.notify_all();
    return id;
}

void RunLoop::cancel(TimerId timer) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_timers, [timer](const Timer& t) { return t.id == timer; });
}

// Runs one posted call, or else the earliest due timer. Called with the lock held; the task
// runs without it so that it may post again.
bool RunLoop::runOne(std::unique_lock<std::mutex>& lock) {
    Task task;
    if (!m_posted.empty()) {
        task = std::move(m_posted.front());
        m_posted.pop_front();
    } else {
        Date now = Clock::now();
        auto due = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
            if (it->fireDate <= now && (due == m_timers.end() || it->fireDate < due->fireDate))
                due = it;
        }
        if (due == m_timers.end())
            return false;
        task = std::move(due->task);
        m_timers.erase(due);
    }
    ++m_tasksRun;
    lock.unlock();
    if (task)
        task();
    lock.lock();
    return true;
}

std::uint64_t RunLoop::tasksRun() const {
    std::lock_guard lock(m_mutex);
    return m_tasksRun;
}

int RunLoop::runUntilIdle() {
    std::unique_lock lock(m_mutex);
    int count = 0;
    while (runOne(lock))
        ++count;
    return count;
}

double RunLoop::secondsUntilNextTimer() const {
    double best = -1;
    Date now = Clock::now();
    for (const auto& t : m_timers) {
        double wait = std::max(0.0, t.fireDate.timeIntervalSinceDate(now));
        if (best < 0 || wait < best)
            best = wait;
    }
    return best;
}

bool RunLoop::runUntil(const std::function<bool()>& done, double timeoutSeconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        runUntilIdle();
        if (done())
            return true;
        std::unique_lock lock(m_mutex);
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (m_posted.empty()) {
            // Wake at least every 10 ms so that `done` may also watch state changed by other threads.
            m_wakeup.wait_for(lock, std::chrono::milliseconds(10));
        }
    }
}

void RunLoop::run() {
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = false;
        m_mainThread = std::this_thread::get_id();
    }
    for (;;) {
        if (runUntilIdle() > 0) {
            Task observer;
            {
                std::lock_guard lock(m_mutex);
                observer = m_beforeWaiting;
            }
            if (observer)
                observer();
        }
        std::unique_lock lock(m_mutex);
        if (m_stopRequested)
            return;
        if (!m_posted.empty())
            continue;
        double wait = secondsUntilNextTimer();
        if (wait < 0)
            m_wakeup.wait(lock);
        else
            m_wakeup.wait_for(lock, std::chrono::duration<double>(std::min(wait, 1.0)));
        if (m_stopRequested)
            return;
    }
}

void RunLoop::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = true;
    }
    m_wakeup.notify_all();
}

void RunLoop::wake() {
    m_wakeup.notify_all();
}

void RunLoop::setBeforeWaitingObserver(Task observer) {
    std::lock_guard lock(m_mutex);
    m_beforeWaiting = std::move(observer);
}

void RunLoop::runInBackground(Task task) {
    {
        std::lock_guard lock(m_mutex);
        ++m_background;
    }
    std::thread([this, task = std::move(task)]() mutable {
        task();
        task = nullptr; // release captures before the count says we are done
        {
            std::lock_guard lock(m_mutex);
            --m_background;
        }
        m_wakeup.notify_all();
    }).detach();
}

int RunLoop::backgroundThreadCount() const {
    std::lock_guard lock(m_mutex);
    return m_background;
}

bool RunLoop::waitForBackgroundThreads(double timeoutSeconds) {
    return runUntil([this] { return backgroundThreadCount() == 0; }, timeoutSeconds);
}

bool RunLoop::isMainThread() const {
    std::lock_guard lock(m_mutex);
    return std::this_thread::get_id() == m_mainThread;
}

void RunLoop::reset() {
    std::lock_guard lock(m_mutex);
    m_posted.clear();
    m_timers.clear();
    m_stopRequested = false;
    m_beforeWaiting = nullptr;
}

} // namespace platform
