#pragma once

#include <compare>
#include <string>

namespace platform {

// A point in time: seconds since the platform reference date, 1 January 2001 00:00 GMT.
class Date {
public:
    static constexpr double kSecondsFrom1970To2001 = 978307200.0;

    constexpr Date() = default;
    constexpr explicit Date(double secondsSinceReferenceDate)
        : m_seconds(secondsSinceReferenceDate) { }

    // The current time of the platform clock (tests can set it, see Clock).
    static Date now();
    static constexpr Date fromTimeIntervalSince1970(double seconds) {
        return Date(seconds - kSecondsFrom1970To2001);
    }

    constexpr double timeIntervalSinceReferenceDate() const { return m_seconds; }
    constexpr double timeIntervalSince1970() const { return m_seconds + kSecondsFrom1970To2001; }
    constexpr double timeIntervalSinceDate(Date other) const { return m_seconds - other.m_seconds; }
    constexpr Date addingTimeInterval(double seconds) const { return Date(m_seconds + seconds); }

    // ICU works in milliseconds since 1970.
    constexpr double icuMillis() const { return timeIntervalSince1970() * 1000.0; }
    static constexpr Date fromIcuMillis(double millis) { return fromTimeIntervalSince1970(millis / 1000.0); }

    constexpr auto operator<=>(const Date&) const = default;

    // ISO 8601 in UTC, for logs and test messages.
    std::string description() const;

private:
    double m_seconds {0};
};

} // namespace platform
