#pragma once

#include <cstdint>
#include <string>

// A car. vid is 0 until the record is first stored; odometer in the settings' distance unit.
struct Vehicle {
    std::int32_t vid { 0 };
    std::string name;
    std::string licensePlate;
    std::string make;
    std::string model;
    std::int32_t year { 0 }; // 0: not given
    std::int32_t odometer { 0 };
    std::string notes;
    // Services due within the reminder thresholds; filled by the vehicle list query only.
    std::int32_t dueServiceCount { 0 };

    // "<documents>/<vid>.png"; meaningful once the vehicle is stored.
    std::string pictureFile() const;
};
