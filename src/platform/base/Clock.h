#pragma once

#include "platform/base/Date.h"

namespace platform {

// The one source of "now" for the whole application, SQL included. Tests fix it with
// setNow() and move it with advance(); useSystemTime() returns to the real clock.
// Safe to call from any thread.
class Clock {
public:
    static Date now();
    static void setNow(Date date);
    static void advance(double seconds);
    static void useSystemTime();
    static bool isFixed();
};

} // namespace platform
