#pragma once

#include <memory>
#include <string>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

namespace platform {

// The device time zone. Taken from $TZ (else the system's), overridable by tests.
class TimeZone {
public:
    // IANA identifier of the device time zone, e.g. "Europe/Berlin".
    static std::string defaultIdentifier();
    // Tests: set the device time zone; an empty identifier returns to the environment's.
    static void setDefault(const std::string& identifier);
    // A fresh ICU copy of the device time zone; the caller owns it.
    static std::unique_ptr<icu::TimeZone> createDefault();
    // A fresh ICU time zone for an identifier ("GMT", "UTC", "Europe/Berlin").
    static std::unique_ptr<icu::TimeZone> create(const std::string& identifier);
    // Seconds east of GMT at the given date in the device time zone.
    static int secondsFromGMT(double secondsSinceReferenceDate);
};

} // namespace platform
