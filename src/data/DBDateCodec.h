#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/Date.h"
#include "platform/base/DateFormatter.h"

// Dates as the database stores them: the local calendar day as "yyyy-MM-dd". A stored day
// reads back as local midnight of that day in the device time zone. Reading is the hot path
// of every list and report, so local midnights are cached per day (and dropped when the
// device time zone changes). Safe to call from any thread.
class DBDateCodec {
public:
    struct Day {
        int year {0};
        int month {0};
        int day {0};
    };

    // The formatter for stored dates: "yyyy-MM-dd", device time zone, POSIX digits and
    // Gregorian calendar whatever the device locale.
    static platform::DateFormatter formatter();

    // Local midnight of a stored day; none for null or text that is not a valid day.
    static std::optional<platform::Date> dateFromText(std::string_view text);
    // The local calendar day of a date; none for none.
    static std::optional<std::string> textFromDate(std::optional<platform::Date> date);

    // Strict "yyyy-MM-dd" with a day that exists in that month.
    static std::optional<Day> parseDay(std::string_view text);
    static std::string formatDay(Day day);
    static int daysInMonth(int year, int month);
};
