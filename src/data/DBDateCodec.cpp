#include "data/DBDateCodec.h"

#include <cstdio>
#include <mutex>
#include <unordered_map>

#include "platform/base/Calendar.h"
#include "platform/base/TimeZone.h"

namespace {

struct MidnightCache {
    std::mutex mutex;
    std::string timeZone;
    std::unordered_map<int, double> secondsByDay;
};

MidnightCache& midnightCache() {
    static MidnightCache cache;
    return cache;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int digitsValue(std::string_view text, size_t from, size_t count) {
    int value = 0;
    for (size_t i = from; i < from + count; ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

platform::DateFormatter DBDateCodec::formatter() {
    platform::DateFormatter formatter;
    formatter.setLocale("en_US_POSIX");
    formatter.setDateFormat("yyyy-MM-dd");
    return formatter;
}

int DBDateCodec::daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

std::optional<DBDateCodec::Day> DBDateCodec::parseDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    Day day {digitsValue(text, 0, 4), digitsValue(text, 5, 2), digitsValue(text, 8, 2)};
    if (day.year < 1 || day.month < 1 || day.month > 12 || day.day < 1
        || day.day > daysInMonth(day.year, day.month))
        return std::nullopt;
    return day;
}

std::string DBDateCodec::formatDay(Day day) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", day.year, day.month, day.day);
    return buffer;
}

std::optional<platform::Date> DBDateCodec::dateFromText(std::string_view text) {
    auto day = parseDay(text);
    if (!day)
        return std::nullopt;
    int key = day->year * 10000 + day->month * 100 + day->day;
    std::string timeZone = platform::TimeZone::defaultIdentifier();
    MidnightCache& cache = midnightCache();
    std::lock_guard lock(cache.mutex);
    if (cache.timeZone != timeZone) {
        cache.secondsByDay.clear();
        cache.timeZone = timeZone;
    }
    auto found = cache.secondsByDay.find(key);
    if (found != cache.secondsByDay.end())
        return platform::Date(found->second);
    platform::DateComponents components;
    components.year = day->year;
    components.month = day->month;
    components.day = day->day;
    platform::Date midnight = platform::Calendar(timeZone).dateFromComponents(components);
    cache.secondsByDay.emplace(key, midnight.timeIntervalSinceReferenceDate());
    return midnight;
}

std::optional<std::string> DBDateCodec::textFromDate(std::optional<platform::Date> date) {
    if (!date)
        return std::nullopt;
    platform::DateComponents components = platform::Calendar().components(*date);
    return formatDay({components.year.value_or(0), components.month.value_or(0), components.day.value_or(0)});
}
