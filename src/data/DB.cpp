#include "data/DB.h"

#include <memory>

#include "QLCoreLibrary/DBHelper.h"
#include "data/DBDateCodec.h"
#include "data/DBFunctions.h"
#include "data/DBRows.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"

namespace {

std::unique_ptr<DBHelper>& openHelper() {
    static std::unique_ptr<DBHelper> helper;
    return helper;
}

// With no open database every operation still runs its steps against an engine without a
// connection, where each step fails quietly.
DBHelper& engine() {
    static DBHelper disconnected(nullptr);
    auto& helper = openHelper();
    return helper ? *helper : disconnected;
}

template<typename Record, typename Reader> std::vector<Record> readAll(DBHelper& helper, Reader reader) {
    std::vector<Record> records;
    while (helper.read())
        records.push_back(reader(helper));
    helper.endQuery();
    return records;
}

template<typename Record, typename Reader> Record readOne(DBHelper& helper, Reader reader) {
    Record record = helper.read() ? reader(helper) : Record();
    helper.endQuery();
    return record;
}

// Runs the insert or update that is set up, and gives an insert's new row id; 0 when the
// statement failed, so that a failed insert never takes the id of an unrelated row.
int executeSave(DBHelper& helper, bool inserting, int currentID) {
    bool succeeded = helper.executeNonQuery();
    helper.endQuery();
    if (!inserting)
        return currentID;
    return succeeded ? helper.lastRowID() : 0;
}

} // namespace

// --- Connection ---

void DB::connect() {
    openHelper().reset();
    renameLegacyDB();
    auto helper = DBHelper::initWithDatabaseNamed("vantrel.db");
    if (!helper)
        return;
    DBFunctions::registerFunctions(helper->database());
    helper->installUpdates();
    helper->loadQueries();
    openHelper() = std::move(helper);
}

void DB::disconnect() {
    auto& helper = openHelper();
    if (helper) {
        helper->disconnect();
        helper.reset();
    }
}

void DB::renameLegacyDB() {
    namespace fs = platform::fs;
    std::string documents = platform::Sandbox::documentsDirectory();
    std::string legacy = fs::joinPath(documents, "dovrin.sqlite");
    if (!fs::fileExists(legacy))
        return;
    std::string current = fs::joinPath(documents, "vantrel.db");
    if (fs::fileExists(current))
        fs::removeItem(current);
    fs::moveItem(legacy, current);
}

platform::DateFormatter DB::dbDateFormatter() {
    return DBDateCodec::formatter();
}

DBHelper* DB::helper() {
    return openHelper().get();
}

// --- Vehicles ---

std::vector<Vehicle> DB::vehiclesWithServiceDueInDays(int days, int miles) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("AllVehicles");
    helper.setInteger(miles, "@MilesBeforeDue");
    helper.setInteger(days, "@DaysBeforeDue");
    return readAll<Vehicle>(helper, DBRows::vehicle);
}

Vehicle DB::getVehicleWithID(int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("VehicleByID");
    helper.setInteger(vid, "@VehicleID");
    return readOne<Vehicle>(helper, DBRows::vehicle);
}

int DB::saveVehicle(Vehicle& vehicle) {
    DBHelper& helper = engine();
    bool inserting = vehicle.vid == 0;
    helper.beginResourceQuery(inserting ? "InsertVehicle" : "UpdateVehicle");
    helper.setInteger(vehicle.vid, "@VehicleID");
    helper.setString(vehicle.name, "@Name");
    helper.setString(vehicle.licensePlate, "@LicensePlate");
    helper.setString(vehicle.make, "@Make");
    helper.setString(vehicle.model, "@Model");
    helper.setInteger(vehicle.year, "@Year");
    helper.setInteger(vehicle.odometer, "@Odometer");
    helper.setString(vehicle.notes, "@Notes");
    vehicle.vid = executeSave(helper, inserting, vehicle.vid);
    if (inserting && vehicle.vid != 0) {
        helper.beginResourceQueryBatch("SetVehicleDefaults");
        helper.setInteger(vehicle.vid, "@VehicleID");
        helper.executeNonQuery();
        helper.endQuery();
    }
    return vehicle.vid;
}

void DB::updateOdometer(int reading, int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("UpdateOdometer");
    helper.setInteger(vid, "@VehicleID");
    helper.setInteger(reading, "@Odometer");
    helper.executeNonQuery();
    helper.endQuery();
}

void DB::updateVehicleRowOrders(const std::vector<Vehicle>& vehicles) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("UpdateRowOrder");
    for (size_t i = 0; i < vehicles.size(); ++i) {
        helper.setInteger(static_cast<int>(i), "@RowOrder");
        helper.setInteger(vehicles[i].vid, "@VehicleID");
        helper.executeNonQuery();
    }
    helper.endQuery();
}

void DB::deleteVehicle(int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQueryBatch("DeleteVehicle");
    helper.setInteger(vid, "@VehicleID");
    helper.executeNonQuery();
    helper.endQuery();
    Vehicle deleted;
    deleted.vid = vid;
    if (platform::fs::fileExists(deleted.pictureFile()))
        platform::fs::removeItem(deleted.pictureFile());
}

namespace {

std::vector<std::string> firstColumnTexts(const char* query) {
    DBHelper& helper = engine();
    helper.beginResourceQuery(query);
    std::vector<std::string> texts;
    while (helper.read())
        texts.push_back(helper.stringValueForColumn(0).value_or(""));
    helper.endQuery();
    return texts;
}

} // namespace

std::vector<std::string> DB::allMakes() {
    return firstColumnTexts("AllMakes");
}

std::vector<std::string> DB::allModels() {
    return firstColumnTexts("AllModels");
}

// --- Services ---

std::vector<Service> DB::allServicesDueInDays(int days, int miles) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("AllDueServices");
    helper.setInteger(days, "@DaysBeforeDue");
    helper.setInteger(miles, "@MilesBeforeDue");
    return readAll<Service>(helper, DBRows::service);
}

int DB::dueServiceCount(int days, int miles) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("DueServiceCount");
    helper.setInteger(miles, "@MilesBeforeDue");
    helper.setInteger(days, "@DaysBeforeDue");
    return helper.executeInt();
}

int DB::dueServiceCountForVehicle(const Vehicle& vehicle, int days, int miles) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("DueVehicleServiceCount");
    helper.setInteger(vehicle.vid, "@VehicleID");
    helper.setInteger(miles, "@MilesBeforeDue");
    helper.setInteger(days, "@DaysBeforeDue");
    return helper.executeInt();
}

std::vector<Service> DB::serviceSummaryForVehicle(int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("VehicleServiceSummary");
    helper.setInteger(vid, "@VehicleID");
    return readAll<Service>(helper, DBRows::service);
}

std::vector<Service> DB::serviceHistoryForVehicle(int vid, int serviceID) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("VehicleServiceHistory");
    helper.setInteger(vid, "@VehicleID");
    helper.setInteger(serviceID, "@ServiceID");
    return readAll<Service>(helper, DBRows::service);
}

Service DB::lastService(int serviceID, int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("LastServiceForVehicle");
    helper.setInteger(vid, "@VehicleID");
    helper.setInteger(serviceID, "@ServiceID");
    return readOne<Service>(helper, DBRows::service);
}

Service DB::vehicleServiceWithID(int vehicleServiceID) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("VehicleServiceWithID");
    helper.setInteger(vehicleServiceID, "@VehicleServiceID");
    return readOne<Service>(helper, DBRows::service);
}

int DB::saveService(Service& service) {
    DBHelper& helper = engine();
    bool inserting = service.serviceID == 0;
    helper.beginResourceQuery(inserting ? "InsertService" : "UpdateService");
    helper.setInteger(service.serviceID, "@ServiceID");
    helper.setString(service.name, "@Name");
    helper.setInteger(service.frequencyInMiles, "@FrequencyInMiles");
    helper.setInteger(service.frequencyInMonths, "@FrequencyInMonths");
    service.serviceID = executeSave(helper, inserting, service.serviceID);
    if (service.serviceID != 0 && service.vehicleID != 0)
        saveVehicleService(service, true);
    return service.serviceID;
}

int DB::saveVehicleService(Service& service, bool updateOdometer) {
    DBHelper& helper = engine();
    bool inserting = service.vehicleServiceID == 0;
    helper.beginResourceQuery(inserting ? "InsertVehicleService" : "UpdateVehicleService");
    helper.setInteger(service.vehicleServiceID, "@VehicleServiceID");
    helper.setInteger(service.vehicleID, "@VehicleID");
    helper.setInteger(service.serviceID, "@ServiceID");
    DBRows::setDate(helper, service.datePerformed, "@DatePerformed");
    helper.setInteger(service.odometer, "@Odometer");
    helper.setDouble(service.cost, "@Cost");
    helper.setString(service.notes, "@Notes");
    service.vehicleServiceID = executeSave(helper, inserting, service.vehicleServiceID);
    if (updateOdometer)
        DB::updateOdometer(service.odometer, service.vehicleID);
    return service.vehicleServiceID;
}

void DB::deleteVehicleService(const Service& service) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("VehicleServiceCount");
    helper.setInteger(service.vehicleID, "@VehicleID");
    helper.setInteger(service.serviceID, "@ServiceID");
    int count = helper.executeInt();
    helper.beginResourceQuery(count < 2 ? "ResetVehicleService" : "DeleteVehicleServiceWithID");
    helper.setInteger(service.vehicleServiceID, "@VehicleServiceID");
    helper.executeNonQuery();
    helper.endQuery();
}

void DB::deleteVehicleServiceHistory(int vid, int serviceID) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("DeleteVehicleServiceHistory");
    helper.setInteger(vid, "@VehicleID");
    helper.setInteger(serviceID, "@ServiceID");
    helper.executeNonQuery();
    helper.endQuery();
}

// --- Repairs ---

std::vector<Repair> DB::allRepairsForVehicle(const Vehicle& vehicle) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("AllRepairs");
    helper.setInteger(vehicle.vid, "@VehicleID");
    return readAll<Repair>(helper, DBRows::repair);
}

Repair DB::repairWithID(int repairID) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("RepairWithID");
    helper.setInteger(repairID, "@RepairID");
    return readOne<Repair>(helper, DBRows::repair);
}

int DB::saveRepair(Repair& repair, bool updateOdometer) {
    DBHelper& helper = engine();
    bool inserting = repair.repairID == 0;
    helper.beginResourceQuery(inserting ? "InsertRepair" : "UpdateRepair");
    helper.setInteger(repair.repairID, "@RepairID");
    helper.setInteger(repair.vehicleID, "@VehicleID");
    helper.setString(repair.name, "@RepairName");
    DBRows::setDate(helper, repair.datePerformed, "@DatePerformed");
    helper.setInteger(repair.odometer, "@Odometer");
    helper.setDouble(repair.cost, "@Cost");
    helper.setString(repair.notes, "@Notes");
    repair.repairID = executeSave(helper, inserting, repair.repairID);
    if (updateOdometer)
        DB::updateOdometer(repair.odometer, repair.vehicleID);
    return repair.repairID;
}

void DB::deleteRepair(const Repair& repair) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("DeleteRepairWithID");
    helper.setInteger(repair.repairID, "@RepairID");
    helper.executeNonQuery();
    helper.endQuery();
}

// --- Fill-ups ---

std::optional<std::string> DB::filterPeriod(int code) {
    switch (code) {
    case 1:
        return "7 days";
    case 2:
        return "1 months";
    case 3:
        return "3 months";
    case 4:
        return "6 months";
    case 5:
        return "1 years";
    }
    return std::nullopt;
}

std::vector<Fillup> DB::fillupsForVehicle(
    const Vehicle& vehicle, int convertToUnit, int distanceUnit, int filterPeriodCode) {
    return loadFillups("AllFillups", vehicle, convertToUnit, distanceUnit, filterPeriodCode);
}

std::vector<Fillup> DB::loadFillups(
    const char* query, const Vehicle& vehicle, int convertToUnit, int distanceUnit, int filterPeriodCode) {
    DBHelper& helper = engine();
    helper.beginResourceQuery(query);
    helper.setInteger(vehicle.vid, "@VehicleID");
    helper.setString(filterPeriod(filterPeriodCode), "@FilterPeriod");
    std::vector<Fillup> fillups;
    while (helper.read()) {
        Fillup fillup = DBRows::fillup(helper);
        fillup.convertToUnit(convertToUnit);
        fillup.distanceUnit = distanceUnit;
        // A reading below the one before it is a typing mistake somewhere; the fuel list
        // says so instead of showing an economy built on it.
        if (!fillups.empty() && fillup.odometer < fillups.back().odometer)
            fillup.isValid = false;
        fillups.push_back(std::move(fillup));
    }
    helper.endQuery();
    calculateDistance(fillups);
    return fillups;
}

void DB::calculateDistance(std::vector<Fillup>& fillups) {
    size_t start = 0;
    float partialFuel = 0;
    for (size_t i = 0; i < fillups.size(); ++i) {
        const Fillup& current = fillups[i];
        if (current.type == kFillupFull) {
            int distance
                = static_cast<int>(static_cast<std::int64_t>(current.odometer) - fillups[start].odometer);
            float fuel = partialFuel + static_cast<float>(current.quantity);
            for (size_t j = start; j < i; ++j) {
                fillups[j].distance = distance;
                fillups[j].refuelQuantity = fuel;
            }
            start = i;
            partialFuel = 0;
        } else if (current.type == kFillupPartial) {
            partialFuel += static_cast<float>(current.quantity);
        } else {
            for (size_t j = start; j < i; ++j) {
                fillups[j].distance = 0;
                fillups[j].refuelQuantity = 1;
            }
            start = i;
            partialFuel = 0;
        }
    }
}

int DB::saveFillup(Fillup& fillup, bool updateOdometer) {
    DBHelper& helper = engine();
    bool inserting = fillup.fillupID == 0;
    helper.beginResourceQuery(inserting ? "InsertFillup" : "UpdateFillup");
    helper.setInteger(fillup.fillupID, "@FillUpID");
    helper.setInteger(fillup.vehicleID, "@VehicleID");
    DBRows::setDate(helper, fillup.date, "@Date");
    helper.setInteger(fillup.odometer, "@Odometer");
    helper.setDouble(fillup.quantity, "@Quantity");
    helper.setDouble(fillup.costPerUnit, "@CostPerUnit");
    helper.setInteger(fillup.units, "@Units");
    helper.setString(fillup.notes, "@Notes");
    helper.setInteger(fillup.type, "@Type");
    fillup.fillupID = executeSave(helper, inserting, fillup.fillupID);
    if (updateOdometer)
        DB::updateOdometer(fillup.odometer, fillup.vehicleID);
    return fillup.fillupID;
}

void DB::deleteFillup(const Fillup& fillup) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("DeleteFillupWithID");
    helper.setInteger(fillup.fillupID, "@FillUpID");
    helper.executeNonQuery();
    helper.endQuery();
}
