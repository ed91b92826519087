#include "model/Service.h"

#include <cmath>
#include <limits>

#include "platform/base/Clock.h"

std::int32_t Service::milesRemaining() const {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(dueMiles) - currentOdometer);
}

std::int32_t Service::daysRemaining() const {
    return daysRemaining(dueDate, platform::Clock::now());
}

std::int32_t Service::daysRemaining(std::optional<platform::Date> dueDate, platform::Date now) {
    if (!dueDate)
        return 0;
    double days = std::trunc(dueDate->timeIntervalSinceDate(now) / 86400.0);
    // Dates far outside any real calendar must not overflow the conversion.
    constexpr double limit = std::numeric_limits<std::int32_t>::max();
    if (!(days > -limit))
        return -std::numeric_limits<std::int32_t>::max();
    if (days > limit)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(days);
}

DueStatus Service::dueStatus(int distanceBeforeDue, int daysBeforeDue) const {
    return dueStatusFor(
        datePerformed.has_value(), milesRemaining(), daysRemaining(), distanceBeforeDue, daysBeforeDue);
}

Service Service::copy() const {
    Service copy = *this;
    copy.currentOdometer = 0;
    return copy;
}

DueStatus dueStatusFor(bool recorded, std::int32_t milesRemaining, std::int32_t daysRemaining,
    int distanceBeforeDue, int daysBeforeDue) {
    if (!recorded)
        return DueStatus::NotRecorded;
    if (milesRemaining <= 0 || daysRemaining <= 0)
        return DueStatus::Overdue;
    if (milesRemaining <= distanceBeforeDue || daysRemaining <= daysBeforeDue)
        return DueStatus::DueSoon;
    return DueStatus::OnSchedule;
}

platform::graphics::Color dueStatusColor(DueStatus status) {
    switch (status) {
    case DueStatus::NotRecorded:
        return platform::graphics::Color::fromHex(0x434343);
    case DueStatus::Overdue:
        return platform::graphics::Color::fromHex(0xC30404);
    case DueStatus::DueSoon:
        return platform::graphics::Color::fromHex(0xF1D200);
    case DueStatus::OnSchedule:
        break;
    }
    return platform::graphics::Color::fromHex(0x4DA72C);
}
