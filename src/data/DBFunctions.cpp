#include "data/DBFunctions.h"

#include <algorithm>
#include <sqlite3.h>
#include <string_view>

#include "data/DBDateCodec.h"
#include "model/Service.h"
#include "platform/base/Clock.h"

namespace {

std::string_view textArgument(sqlite3_value* value) {
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return {};
    auto text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? std::string_view(text, static_cast<size_t>(sqlite3_value_bytes(value)))
                : std::string_view();
}

void clockNow(sqlite3_context* context, int, sqlite3_value**) {
    sqlite3_result_double(context, platform::Clock::now().timeIntervalSinceReferenceDate());
}

void clockToday(sqlite3_context* context, int, sqlite3_value**) {
    std::string today = DBDateCodec::textFromDate(platform::Clock::now()).value_or("");
    sqlite3_result_text(context, today.c_str(), static_cast<int>(today.size()), SQLITE_TRANSIENT);
}

void addMonths(sqlite3_context* context, int, sqlite3_value** arguments) {
    auto day = DBDateCodec::parseDay(textArgument(arguments[0]));
    if (!day) {
        sqlite3_result_null(context);
        return;
    }
    long long months
        = static_cast<long long>(day->year) * 12 + (day->month - 1) + sqlite3_value_int(arguments[1]);
    long long year = months >= 0 ? months / 12 : (months - 11) / 12;
    int month = static_cast<int>(months - year * 12) + 1;
    if (year < 1 || year > 9999) {
        sqlite3_result_null(context);
        return;
    }
    DBDateCodec::Day due {static_cast<int>(year), month, 0};
    due.day = std::min(day->day, DBDateCodec::daysInMonth(due.year, due.month));
    std::string text = DBDateCodec::formatDay(due);
    sqlite3_result_text(context, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

DueStatus statusOfRow(sqlite3_value** arguments) {
    bool recorded = DBDateCodec::dateFromText(textArgument(arguments[0])).has_value();
    Service service;
    service.dueMiles = sqlite3_value_int(arguments[1]);
    service.currentOdometer = sqlite3_value_int(arguments[3]);
    auto dueDate = DBDateCodec::dateFromText(textArgument(arguments[2]));
    platform::Date now(sqlite3_value_double(arguments[6]));
    return dueStatusFor(recorded, service.milesRemaining(), Service::daysRemaining(dueDate, now),
        sqlite3_value_int(arguments[5]), sqlite3_value_int(arguments[4]));
}

void serviceDueStatus(sqlite3_context* context, int, sqlite3_value** arguments) {
    sqlite3_result_int(context, static_cast<int>(statusOfRow(arguments)));
}

void isServiceDue(sqlite3_context* context, int, sqlite3_value** arguments) {
    DueStatus status = statusOfRow(arguments);
    sqlite3_result_int(context, status == DueStatus::Overdue || status == DueStatus::DueSoon);
}

} // namespace

bool DBFunctions::registerFunctions(sqlite3* database) {
    if (!database)
        return false;
    // The clock functions are marked deterministic so that SQLite evaluates them once per
    // execution of a statement rather than once per row: one query sees one "now".
    constexpr int constantPerStatement = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    constexpr int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Function {
        const char* name;
        int arguments;
        int flags;
        void (*call)(sqlite3_context*, int, sqlite3_value**);
    };
    const Function functions[] = {
        {"ClockNow", 0, constantPerStatement, clockNow},
        {"ClockToday", 0, constantPerStatement, clockToday},
        {"AddMonths", 2, pure, addMonths},
        // Depend on the device time zone through the date reading: not innocuous constants,
        // but stable within a statement.
        {"ServiceDueStatus", 7, SQLITE_UTF8 | SQLITE_DETERMINISTIC, serviceDueStatus},
        {"IsServiceDue", 7, SQLITE_UTF8 | SQLITE_DETERMINISTIC, isServiceDue},
    };
    bool registered = true;
    for (const Function& function : functions) {
        registered = sqlite3_create_function_v2(database, function.name, function.arguments, function.flags,
                         nullptr, function.call, nullptr, nullptr, nullptr)
                == SQLITE_OK
            && registered;
    }
    return registered;
}
