#include "data/DB.h"

#include <memory>
#include <utility>

#include "QLCoreLibrary/DBHelper.h"
#include "QLCoreLibrary/DatabaseFileCheck.h"
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

// Runs the insert or update that is set up. True when a row was stored; an insert then gives
// `id` its new row id. A failed insert leaves `id` 0, never the id of an unrelated row, and
// an update that matched no row (the record was deleted meanwhile) stored nothing.
bool executeSave(DBHelper& helper, bool inserting, int& id) {
    const bool succeeded = helper.executeNonQuery() && helper.changes() > 0;
    helper.endQuery();
    if (inserting)
        id = succeeded ? helper.lastRowID() : 0;
    return succeeded;
}

// Runs the statement or batch that is set up and ends it.
bool executeWrite(DBHelper& helper) {
    const bool succeeded = helper.executeNonQuery();
    helper.endQuery();
    return succeeded;
}

} // namespace

// --- Connection ---

namespace {

std::optional<std::string>& damagedDatabase() {
    static std::optional<std::string> path;
    return path;
}

// Moves the damaged database, with the journal that belongs to it, out of the way.
std::optional<std::string> keepDamagedDatabaseAside(const std::string& path) {
    auto aside = platform::fs::keepAside(path, "damaged");
    if (aside) {
        for (const char* suffix : {"-journal", "-wal", "-shm"}) {
            if (platform::fs::fileExists(path + suffix))
                platform::fs::moveItem(path + suffix, *aside + suffix);
        }
    }
    return aside;
}

} // namespace

void DB::connect() {
    openHelper().reset();
    renameLegacyDB();
    const std::string path = platform::fs::joinPath(platform::Sandbox::documentsDirectory(), "vantrel.db");
    // Starting on an empty database as if the user had no cars would hide the loss; the
    // damaged file is kept for the user (or support) and a fresh copy of the shipped one
    // takes its place.
    bool damaged = platform::fs::isDirectory(path);
    auto helper = damaged ? nullptr : DBHelper::initWithDatabaseNamed("vantrel.db");
    if (helper
        && DatabaseFileCheck::checkConnection(helper->database(), false)
            == DatabaseFileCheck::Result::Damaged) {
        helper.reset();
        damaged = true;
    }
    if (damaged) {
        auto aside = keepDamagedDatabaseAside(path);
        if (!aside)
            return; // never overwrite what could not be moved
        damagedDatabase() = aside;
        helper = DBHelper::initWithDatabaseNamed("vantrel.db");
    }
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

std::optional<std::string> DB::damagedDatabaseKeptAside() {
    return damagedDatabase();
}

std::optional<std::string> DB::takeDamagedDatabaseKeptAside() {
    return std::exchange(damagedDatabase(), std::nullopt);
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

bool DB::saveVehicle(Vehicle& vehicle, bool starterServices) {
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
    bool stored = executeSave(helper, inserting, vehicle.vid);
    if (stored && inserting && starterServices) {
        helper.beginResourceQueryBatch("SetVehicleDefaults");
        helper.setInteger(vehicle.vid, "@VehicleID");
        stored = executeWrite(helper);
    }
    return stored;
}

bool DB::updateOdometer(int reading, int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("UpdateOdometer");
    helper.setInteger(vid, "@VehicleID");
    helper.setInteger(reading, "@Odometer");
    return executeWrite(helper);
}

bool DB::updateVehicleRowOrders(const std::vector<Vehicle>& vehicles) {
    DBHelper& helper = engine();
    bool stored = helper.beginResourceQuery("UpdateRowOrder");
    for (size_t i = 0; i < vehicles.size(); ++i) {
        helper.setInteger(static_cast<int>(i), "@RowOrder");
        helper.setInteger(vehicles[i].vid, "@VehicleID");
        stored = helper.executeNonQuery() && stored;
    }
    helper.endQuery();
    return stored;
}

bool DB::deleteVehicle(int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQueryBatch("DeleteVehicle");
    helper.setInteger(vid, "@VehicleID");
    if (!executeWrite(helper))
        return false; // the picture stays with the vehicle that is still there
    Vehicle deleted;
    deleted.vid = vid;
    if (platform::fs::fileExists(deleted.pictureFile()))
        platform::fs::removeItem(deleted.pictureFile());
    return true;
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

std::vector<Service> DB::allServiceRecordsForVehicle(int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("AllVehicleServices");
    helper.setInteger(vid, "@VehicleID");
    return readAll<Service>(helper, DBRows::service);
}

bool DB::saveService(Service& service) {
    DBHelper& helper = engine();
    bool inserting = service.serviceID == 0;
    helper.beginResourceQuery(inserting ? "InsertService" : "UpdateService");
    helper.setInteger(service.serviceID, "@ServiceID");
    helper.setString(service.name, "@Name");
    helper.setInteger(service.frequencyInMiles, "@FrequencyInMiles");
    helper.setInteger(service.frequencyInMonths, "@FrequencyInMonths");
    bool stored = executeSave(helper, inserting, service.serviceID);
    if (stored && service.vehicleID != 0)
        stored = saveVehicleService(service, true);
    return stored;
}

bool DB::saveVehicleService(Service& service, bool updateOdometer) {
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
    bool stored = executeSave(helper, inserting, service.vehicleServiceID);
    if (stored && updateOdometer)
        stored = DB::updateOdometer(service.odometer, service.vehicleID);
    return stored;
}

bool DB::deleteVehicleService(const Service& service) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("VehicleServiceCount");
    helper.setInteger(service.vehicleID, "@VehicleID");
    helper.setInteger(service.serviceID, "@ServiceID");
    int count = helper.executeInt();
    helper.beginResourceQuery(count < 2 ? "ResetVehicleService" : "DeleteVehicleServiceWithID");
    helper.setInteger(service.vehicleServiceID, "@VehicleServiceID");
    return executeWrite(helper);
}

bool DB::deleteVehicleServiceHistory(int vid, int serviceID) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("DeleteVehicleServiceHistory");
    helper.setInteger(vid, "@VehicleID");
    helper.setInteger(serviceID, "@ServiceID");
    return executeWrite(helper);
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

bool DB::saveRepair(Repair& repair, bool updateOdometer) {
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
    bool stored = executeSave(helper, inserting, repair.repairID);
    if (stored && updateOdometer)
        stored = DB::updateOdometer(repair.odometer, repair.vehicleID);
    return stored;
}

bool DB::deleteRepair(const Repair& repair) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("DeleteRepairWithID");
    helper.setInteger(repair.repairID, "@RepairID");
    return executeWrite(helper);
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

bool DB::saveFillup(Fillup& fillup, bool updateOdometer) {
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
    bool stored = executeSave(helper, inserting, fillup.fillupID);
    if (stored && updateOdometer)
        stored = DB::updateOdometer(fillup.odometer, fillup.vehicleID);
    return stored;
}

std::vector<Fillup> DB::storedFillupsForVehicle(int vid) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("AllFillups");
    helper.setInteger(vid, "@VehicleID");
    helper.setNullForParameter("@FilterPeriod");
    return readAll<Fillup>(helper, DBRows::fillup);
}

bool DB::deleteFillup(const Fillup& fillup) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("DeleteFillupWithID");
    helper.setInteger(fillup.fillupID, "@FillUpID");
    return executeWrite(helper);
}

// --- Transactions ---

bool DB::beginTransaction() {
    DBHelper& helper = engine();
    helper.beginResourceQuery("BeginTransaction");
    return executeWrite(helper);
}

bool DB::commitTransaction() {
    DBHelper& helper = engine();
    helper.beginResourceQuery("CommitTransaction");
    if (executeWrite(helper))
        return true;
    rollbackTransaction();
    return false;
}

void DB::rollbackTransaction() {
    DBHelper& helper = engine();
    helper.beginResourceQuery("RollbackTransaction");
    executeWrite(helper);
}
