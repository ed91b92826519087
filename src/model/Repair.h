#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/base/Date.h"

// One repair of a vehicle. repairID is 0 until stored; odometer in the settings' distance unit.
struct Repair {
    std::int32_t repairID {0};
    std::int32_t vehicleID {0};
    std::string name;
    std::optional<platform::Date> datePerformed;
    std::int32_t odometer {0};
    double cost {0};
    std::string notes;
    // Reserved for the vehicle's current reading; no query fills it.
    std::int32_t currentOdometer {0};

    // A new record with the stored fields; currentOdometer is not copied.
    Repair copy() const;
};
