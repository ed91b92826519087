#pragma once

#include <optional>
#include <string>

#include "model/Fillup.h"
#include "model/Repair.h"
#include "model/Service.h"
#include "model/Vehicle.h"
#include "platform/base/Date.h"

class DBHelper;

// Reads the current row of a query into a record, by column position, and binds dates.
//   vehicle row: VehicleID, Name, LicensePlate, Make, Model, Year, Odometer, Notes,
//                DueServiceCount
//   vehicle-service row: VehicleServiceID, VehicleID, ServiceID, Name, FrequencyInMonths,
//                FrequencyInMiles, DatePerformed, Odometer, Cost, Notes, DueMiles, DueDate,
//                CurrentOdometer, VehicleName
//   repair row: RepairID, VehicleID, Name, DatePerformed, Odometer, Cost, Notes
//   fill-up row: FillupID, VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type
// Null texts read as "", null or unreadable dates as none.
class DBRows {
public:
    static Vehicle vehicle(const DBHelper& helper);
    static Service service(const DBHelper& helper);
    static Repair repair(const DBHelper& helper);
    // isValid is set: the record came from the store.
    static Fillup fillup(const DBHelper& helper);

    static std::optional<platform::Date> dateValueForColumn(const DBHelper& helper, int column);
    static std::string textValueForColumn(const DBHelper& helper, int column);
    // Binds the local calendar day of the date, or null.
    static bool setDate(DBHelper& helper, std::optional<platform::Date> date, const std::string& parameter);
};
