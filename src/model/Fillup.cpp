#include "model/Fillup.h"

#include "model/Units.h"

namespace {

// The factor turning a quantity in `from` into `to`. Codes outside the three fuel units
// convert everything to 0; a target outside them counts as the remaining gallon.
double quantityFactor(int from, int to) {
    if (from == to)
        return 1.0;
    switch (from) {
    case kFuelLiter:
        return to == kFuelUSGallon ? kLitersToUSGallons : kLitersToImperialGallons;
    case kFuelUSGallon:
        return to == kFuelLiter ? kUSGallonsToLiters : kUSGallonsToImperialGallons;
    case kFuelImperialGallon:
        return to == kFuelLiter ? kImperialGallonsToLiters : kImperialGallonsToUSGallons;
    }
    return 0.0;
}

// A price per unit converts with the factor of the opposite direction.
double priceFactor(int from, int to) {
    if (from == to)
        return 1.0;
    switch (from) {
    case kFuelLiter:
        return to == kFuelUSGallon ? kUSGallonsToLiters : kImperialGallonsToLiters;
    case kFuelUSGallon:
        return to == kFuelLiter ? kLitersToUSGallons : kImperialGallonsToUSGallons;
    case kFuelImperialGallon:
        return to == kFuelLiter ? kLitersToImperialGallons : kUSGallonsToImperialGallons;
    }
    return 0.0;
}

} // namespace

float Fillup::convertQuantity(double value, int unit) const {
    return static_cast<float>(value * quantityFactor(units, unit));
}

float Fillup::costPerUnitWithUnit(int unit) const {
    return static_cast<float>(costPerUnit * priceFactor(units, unit));
}

void Fillup::convertToUnit(int unit) {
    if (units == unit)
        return;
    quantity = quantityWithUnit(unit);
    refuelQuantity = refuelQuantityWithUnit(unit);
    costPerUnit = costPerUnitWithUnit(unit);
    units = unit;
}

namespace {

struct DistanceAndFuel {
    float distance;
    float fuel;
};

DistanceAndFuel distanceAndFuel(const Fillup& fillup, int code) {
    float fuel;
    switch (code) {
    case 2:
    case 3:
        fuel = fillup.refuelQuantityWithUnit(kFuelLiter);
        break;
    case 0:
    case 4:
        fuel = fillup.refuelQuantityWithUnit(kFuelUSGallon);
        break;
    case 1:
    case 5:
        fuel = fillup.refuelQuantityWithUnit(kFuelImperialGallon);
        break;
    default:
        fuel = static_cast<float>(fillup.refuelQuantity);
        break;
    }
    float distance = static_cast<float>(fillup.distance);
    bool kilometreCode = code >= 3 && code <= 5;
    if (kilometreCode && fillup.distanceUnit == kDistanceMiles)
        distance = static_cast<float>(static_cast<double>(distance) * kMilesToKilometers);
    else if (!kilometreCode && fillup.distanceUnit == kDistanceKilometers)
        distance = static_cast<float>(static_cast<double>(distance) * kKilometersToMiles);
    return {distance, fuel};
}

} // namespace

float Fillup::economyWithUnit(int economyCode) const {
    auto [distance, fuel] = distanceAndFuel(*this, economyCode);
    return distance / fuel;
}

float Fillup::efficiencyWithUnit(int efficiencyCode) const {
    auto [distance, fuel] = distanceAndFuel(*this, efficiencyCode);
    return (fuel / distance) * 100.0f;
}

Fillup Fillup::copy() const {
    Fillup copy;
    copy.fillupID = fillupID;
    copy.vehicleID = vehicleID;
    copy.date = date;
    copy.odometer = odometer;
    copy.quantity = quantity;
    copy.costPerUnit = costPerUnit;
    copy.units = units;
    copy.type = type;
    copy.notes = notes;
    return copy;
}
