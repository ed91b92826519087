#include "platform/base/Clock.h"

#include <atomic>
#include <chrono>

namespace platform {

namespace {
std::atomic<bool> g_fixed {false};
std::atomic<double> g_fixedSeconds {0};

double systemSeconds() {
    using namespace std::chrono;
    double unix = duration<double>(system_clock::now().time_since_epoch()).count();
    return unix - Date::kSecondsFrom1970To2001;
}
} // namespace

Date Clock::now() {
    return Date(g_fixed.load() ? g_fixedSeconds.load() : systemSeconds());
}

void Clock::setNow(Date date) {
    g_fixedSeconds.store(date.timeIntervalSinceReferenceDate());
    g_fixed.store(true);
}

void Clock::advance(double seconds) {
    if (!g_fixed.load())
        setNow(Date(systemSeconds()));
    double current = g_fixedSeconds.load();
    while (!g_fixedSeconds.compare_exchange_weak(current, current + seconds)) { }
}

void Clock::useSystemTime() {
    g_fixed.store(false);
}

bool Clock::isFixed() {
    return g_fixed.load();
}

} // namespace platform
