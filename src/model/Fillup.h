#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/base/Date.h"

// Fill-up types.
enum FillupType { kFillupFull = 0, kFillupPartial = 1, kFillupReset = 2 };

// One fuel fill-up. quantity, costPerUnit and refuelQuantity are in the fuel unit `units`
// (0 litre, 1 US gallon, 2 Imperial gallon); odometer and distance in `distanceUnit`.
// distance and refuelQuantity are the tank this fill-up starts, attributed when a vehicle's
// fill-ups are loaded; they are 0 otherwise. The total cost is quantity x costPerUnit.
struct Fillup {
    std::int32_t fillupID {0};
    std::int32_t vehicleID {0};
    std::optional<platform::Date> date;
    std::int32_t odometer {0};
    double quantity {0};
    double costPerUnit {0};
    std::int32_t units {0};
    std::int32_t type {kFillupFull};
    std::string notes;
    std::int32_t distance {0};
    double refuelQuantity {0};
    std::int32_t distanceUnit {0};
    bool isValid {false};

    // A fuel quantity in `units` converted to fuel unit `unit`, in single precision; 0 when
    // `units` is not a known code.
    float convertQuantity(double value, int unit) const;
    float quantityWithUnit(int unit) const { return convertQuantity(quantity, unit); }
    float refuelQuantityWithUnit(int unit) const { return convertQuantity(refuelQuantity, unit); }
    // The price per unit expressed per unit `unit` (0 when `units` is not a known code).
    float costPerUnitWithUnit(int unit) const;
    // Converts quantity, refuelQuantity and costPerUnit to `unit` and sets `units`; the
    // converted values keep single precision. Nothing changes when already in that unit.
    void convertToUnit(int unit);

    // Distance per fuel in an economy code and fuel per 100 distance units in an efficiency
    // code (see Units.h), single precision. Meaningful only when distance > 0.
    float economyWithUnit(int economyCode) const;
    float efficiencyWithUnit(int efficiencyCode) const;

    double totalCost() const { return quantity * costPerUnit; }

    // A new record with the stored fields only: distance, refuelQuantity, distanceUnit and
    // isValid are left at their defaults.
    Fillup copy() const;
};
