#pragma once

// Measurement unit codes and conversion factors. A quantity in the "from" unit times the
// factor is the quantity in the "to" unit; a price per unit converts with the factor of the
// opposite direction.

enum DistanceUnit { kDistanceKilometers = 0, kDistanceMiles = 1 };
enum FuelUnit { kFuelLiter = 0, kFuelUSGallon = 1, kFuelImperialGallon = 2 };

constexpr double kLitersToUSGallons = 0.264172052;
constexpr double kLitersToImperialGallons = 0.219969157;
constexpr double kUSGallonsToLiters = 3.78541178;
constexpr double kUSGallonsToImperialGallons = 0.83267384;
constexpr double kImperialGallonsToLiters = 4.54609188;
constexpr double kImperialGallonsToUSGallons = 1.20095042;
constexpr double kKilometersToMiles = 0.621371192;
constexpr double kMilesToKilometers = 1.609344;

// Factor that turns a fuel quantity in unit `from` into unit `to` (1 when equal or unknown).
constexpr double fuelConversionFactor(int from, int to) {
    if (from == to)
        return 1.0;
    switch (from) {
    case kFuelLiter:
        return to == kFuelUSGallon      ? kLitersToUSGallons
            : to == kFuelImperialGallon ? kLitersToImperialGallons
                                        : 1.0;
    case kFuelUSGallon:
        return to == kFuelLiter         ? kUSGallonsToLiters
            : to == kFuelImperialGallon ? kUSGallonsToImperialGallons
                                        : 1.0;
    case kFuelImperialGallon:
        return to == kFuelLiter   ? kImperialGallonsToLiters
            : to == kFuelUSGallon ? kImperialGallonsToUSGallons
                                  : 1.0;
    }
    return 1.0;
}

// Factor that turns a distance in unit `from` into unit `to`.
constexpr double distanceConversionFactor(int from, int to) {
    if (from == to)
        return 1.0;
    return from == kDistanceKilometers ? kKilometersToMiles : kMilesToKilometers;
}

// The distance and fuel units that an economy or efficiency code measures in: codes 0-2 use
// miles, 3-5 kilometres; 2 and 3 litres, 0 and 4 US gallons, 1 and 5 Imperial gallons.
constexpr int distanceUnitOfEconomyCode(int code) {
    return code <= 2 ? kDistanceMiles : kDistanceKilometers;
}
constexpr int fuelUnitOfEconomyCode(int code) {
    switch (code) {
    case 2:
    case 3:
        return kFuelLiter;
    case 1:
    case 5:
        return kFuelImperialGallon;
    default:
        return kFuelUSGallon;
    }
}
