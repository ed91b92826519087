#include "platform/base/Date.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/base/Clock.h"

namespace platform {

Date Date::now() {
    return Clock::now();
}

std::string Date::description() const {
    double unix = timeIntervalSince1970();
    std::time_t seconds = static_cast<std::time_t>(std::floor(unix));
    std::tm tm {};
    gmtime_r(&seconds, &tm);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900, tm.tm_mon + 1,
        tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buffer;
}

} // namespace platform
