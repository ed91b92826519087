#include "transfer/ImportData.h"

#include "transfer/ImportValues.h"

ImportedVehicle& ImportData::vehicleWithKey(const std::string& key, const std::string& name) {
    const std::string wanted = ImportValues::lowerCase(key);
    for (ImportedVehicle& vehicle : vehicles) {
        if (ImportValues::lowerCase(vehicle.key) == wanted)
            return vehicle;
    }
    ImportedVehicle vehicle;
    vehicle.key = key;
    vehicle.name = name;
    vehicles.push_back(std::move(vehicle));
    return vehicles.back();
}

int ImportData::recordCount() const {
    int count = 0;
    for (const ImportedVehicle& vehicle : vehicles)
        count += vehicle.recordCount();
    return count;
}
