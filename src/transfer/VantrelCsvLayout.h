#pragma once

#include <optional>
#include <string>

// Vantrel's own CSV files (docs/csv-format.md): their names, the unit symbols written in
// their headers and the names of the fill-up types. Shared by the export and its reader.
class VantrelCsvLayout {
public:
    static constexpr const char* kVehiclesFile = "vehicles.csv";
    static constexpr const char* kFillupsFile = "fillups.csv";
    static constexpr const char* kServicesFile = "services.csv";
    static constexpr const char* kRepairsFile = "repairs.csv";

    // "km" or "mi".
    static std::string distanceSymbol(int unit);
    // "L", "US gal" or "Imp gal".
    static std::string fuelSymbol(int unit);
    static std::optional<int> fuelUnitOfSymbol(const std::string& symbol);
    // "Full", "Partial" or "Reset".
    static std::string typeName(int type);
    static std::optional<int> typeNamed(const std::string& name);
};
