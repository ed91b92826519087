#include "transfer/VantrelCsvLayout.h"

#include "model/Fillup.h"
#include "model/Units.h"
#include "transfer/ImportValues.h"

std::string VantrelCsvLayout::distanceSymbol(int unit) {
    return unit == kDistanceKilometers ? "km" : "mi";
}

std::string VantrelCsvLayout::fuelSymbol(int unit) {
    return unit == kFuelLiter ? "L" : unit == kFuelUSGallon ? "US gal" : "Imp gal";
}

std::optional<int> VantrelCsvLayout::fuelUnitOfSymbol(const std::string& symbol) {
    const std::string key = ImportValues::headerKey(symbol);
    for (int unit : {kFuelLiter, kFuelUSGallon, kFuelImperialGallon}) {
        if (key == ImportValues::lowerCase(fuelSymbol(unit)))
            return unit;
    }
    return std::nullopt;
}

std::string VantrelCsvLayout::typeName(int type) {
    return type == kFillupPartial ? "Partial" : type == kFillupReset ? "Reset" : "Full";
}

std::optional<int> VantrelCsvLayout::typeNamed(const std::string& name) {
    const std::string key = ImportValues::headerKey(name);
    for (int type : {kFillupFull, kFillupPartial, kFillupReset}) {
        if (key == ImportValues::lowerCase(typeName(type)))
            return type;
    }
    return std::nullopt;
}
