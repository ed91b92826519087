#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/base/Date.h"
#include "platform/graphics/Color.h"

// Posted (no object) whenever a screen stores a change that may change how many services are
// due: a service recorded, corrected, rescheduled or removed, or the due thresholds changed.
// The application brings its icon badge up to date on it.
inline constexpr const char* kDueServiceCountDidChangeNotification = "DueServiceCountDidChangeNotification";

// The due status of a vehicle service, by one rule that every screen and the due queries of
// the data store share (see dueStatusFor).
enum class DueStatus {
    NotRecorded = 0,
    Overdue = 1,
    DueSoon = 2,
    OnSchedule = 3,
};

// A scheduled service. One record serves two roles: a service type (name and intervals, the
// first fields) and a vehicle service (that type on one vehicle, with the values of one
// performance and the due values the queries compute from it). Identifiers are 0 until
// stored. Distances are in the settings' distance unit.
struct Service {
    std::int32_t vehicleServiceID {0};
    std::int32_t vehicleID {0};
    std::string vehicleName;
    std::int32_t serviceID {0};
    std::string name;
    std::int32_t frequencyInMonths {0};
    std::int32_t frequencyInMiles {0};
    std::optional<platform::Date> datePerformed; // none: never recorded
    std::int32_t odometer {0};
    double cost {0};
    std::string notes;
    std::optional<platform::Date> dueDate;
    std::int32_t dueMiles {0};
    std::int32_t currentOdometer {0};

    // dueMiles - currentOdometer (wraps like 32-bit arithmetic; may be negative).
    std::int32_t milesRemaining() const;
    // Whole days from the platform clock's now until dueDate, truncated toward zero (the
    // whole due day and the day before it give 0); 0 without a due date.
    std::int32_t daysRemaining() const;
    static std::int32_t daysRemaining(std::optional<platform::Date> dueDate, platform::Date now);

    // The status with the given thresholds (the settings' distanceBeforeDue, daysBeforeDue).
    DueStatus dueStatus(int distanceBeforeDue, int daysBeforeDue) const;

    // A new record with the stored fields; currentOdometer is not copied.
    Service copy() const;
};

// The due-status rule, first match wins: no performance date -> not recorded; distance or
// days remaining at or below 0 -> overdue; at or below their thresholds -> due soon;
// otherwise on schedule.
DueStatus dueStatusFor(bool recorded, std::int32_t milesRemaining, std::int32_t daysRemaining,
    int distanceBeforeDue, int daysBeforeDue);

// Indicator colours: not recorded 434343, overdue C30404, due soon F1D200, on schedule 4DA72C.
platform::graphics::Color dueStatusColor(DueStatus status);
