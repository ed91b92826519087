#include "data/DBRows.h"

#include "QLCoreLibrary/DBHelper.h"
#include "data/DBDateCodec.h"

std::optional<platform::Date> DBRows::dateValueForColumn(const DBHelper& helper, int column) {
    auto text = helper.stringValueForColumn(column);
    return text ? DBDateCodec::dateFromText(*text) : std::nullopt;
}

std::string DBRows::textValueForColumn(const DBHelper& helper, int column) {
    return helper.stringValueForColumn(column).value_or("");
}

bool DBRows::setDate(DBHelper& helper, std::optional<platform::Date> date, const std::string& parameter) {
    return helper.setString(DBDateCodec::textFromDate(date), parameter);
}

Vehicle DBRows::vehicle(const DBHelper& helper) {
    Vehicle vehicle;
    vehicle.vid = helper.intValueForColumn(0);
    vehicle.name = textValueForColumn(helper, 1);
    vehicle.licensePlate = textValueForColumn(helper, 2);
    vehicle.make = textValueForColumn(helper, 3);
    vehicle.model = textValueForColumn(helper, 4);
    vehicle.year = helper.intValueForColumn(5);
    vehicle.odometer = helper.intValueForColumn(6);
    vehicle.notes = textValueForColumn(helper, 7);
    vehicle.dueServiceCount = helper.intValueForColumn(8);
    return vehicle;
}

Service DBRows::service(const DBHelper& helper) {
    Service service;
    service.vehicleServiceID = helper.intValueForColumn(0);
    service.vehicleID = helper.intValueForColumn(1);
    service.serviceID = helper.intValueForColumn(2);
    service.name = textValueForColumn(helper, 3);
    service.frequencyInMonths = helper.intValueForColumn(4);
    service.frequencyInMiles = helper.intValueForColumn(5);
    service.datePerformed = dateValueForColumn(helper, 6);
    service.odometer = helper.intValueForColumn(7);
    service.cost = helper.doubleValueForColumn(8);
    service.notes = textValueForColumn(helper, 9);
    service.dueMiles = helper.intValueForColumn(10);
    service.dueDate = dateValueForColumn(helper, 11);
    service.currentOdometer = helper.intValueForColumn(12);
    service.vehicleName = textValueForColumn(helper, 13);
    return service;
}

Repair DBRows::repair(const DBHelper& helper) {
    Repair repair;
    repair.repairID = helper.intValueForColumn(0);
    repair.vehicleID = helper.intValueForColumn(1);
    repair.name = textValueForColumn(helper, 2);
    repair.datePerformed = dateValueForColumn(helper, 3);
    repair.odometer = helper.intValueForColumn(4);
    repair.cost = helper.doubleValueForColumn(5);
    repair.notes = textValueForColumn(helper, 6);
    return repair;
}

Fillup DBRows::fillup(const DBHelper& helper) {
    Fillup fillup;
    fillup.fillupID = helper.intValueForColumn(0);
    fillup.vehicleID = helper.intValueForColumn(1);
    fillup.date = dateValueForColumn(helper, 2);
    fillup.odometer = helper.intValueForColumn(3);
    fillup.quantity = helper.doubleValueForColumn(4);
    fillup.costPerUnit = helper.doubleValueForColumn(5);
    fillup.units = helper.intValueForColumn(6);
    fillup.notes = textValueForColumn(helper, 7);
    fillup.type = helper.intValueForColumn(8);
    fillup.isValid = true;
    return fillup;
}
