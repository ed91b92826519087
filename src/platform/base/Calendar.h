#pragma once

#include <optional>
#include <string>

#include "platform/base/Date.h"

namespace platform {

// Components of a date in the Gregorian calendar. Unset fields mean "not asked for" when
// extracting and "add nothing" when adding.
struct DateComponents {
    std::optional<int> year;
    std::optional<int> month; // 1..12
    std::optional<int> day; // 1..31
    std::optional<int> hour; // 0..23
    std::optional<int> minute; // 0..59
    std::optional<int> second; // 0..59
    std::optional<int> weekday; // 1 = Sunday .. 7 = Saturday (read only)
};

// Gregorian calendar arithmetic in the device time zone (or a given one), on ICU.
class Calendar {
public:
    explicit Calendar(std::string timeZoneIdentifier = {}); // empty = the device time zone

    // Every component of the date, in the calendar's time zone.
    DateComponents components(Date date) const;
    // The date for the given components; unset fields take their smallest value
    // (month 1, day 1, 00:00:00). Out-of-range values carry (minute 75 is 01:15).
    Date dateFromComponents(const DateComponents& components) const;
    // Adds each set component to the date with carry, in wall-clock terms: adding a day
    // across a daylight-saving change keeps the local time of day.
    Date dateByAddingComponents(const DateComponents& components, Date date) const;

    // Local midnight that starts the day holding the date.
    Date startOfDay(Date date) const;
    // Whole calendar days from the day of `from` to the day of `to` (negative when earlier).
    int daysBetween(Date from, Date to) const;
    // Whole calendar months from `from` to `to`, counted as the phone does (a month is
    // complete when the same day of month is reached).
    int monthsBetween(Date from, Date to) const;

    const std::string& timeZoneIdentifier() const { return m_timeZone; }

private:
    std::string m_timeZone;
};

} // namespace platform
