#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Fillup.h"
#include "model/Repair.h"
#include "model/Service.h"
#include "model/Vehicle.h"
#include "platform/base/Date.h"
#include "platform/base/DateFormatter.h"

class DBHelper;

// Every data operation of the application, as class-level operations over the one open
// engine of the process. Each operation runs named queries of the query file and finishes
// them before it returns. Reads never report a failure: with no database, a missing query or
// a failing statement, lists come back empty, counts 0, single records with every field 0 or
// none. Writes (saves, updates, deletes) answer whether they were stored, so that a form can
// stay open when its change was not (a read-only or full disk, a damaged file). Main thread
// only.
//
// Distances are in the settings' distance unit, never converted when stored. Period codes
// (filterPeriod): 1 the last 7 days, 2 month, 3 three months, 4 six months, 5 year, anything
// else the whole history; "today" is the platform clock's.
class DB {
public:
    // --- Connection ---
    // Renames a legacy database, opens (on first launch creates) "vantrel.db" in the
    // documents folder, installs pending updates and loads the queries. May be called again
    // after disconnect. A damaged database (see DatabaseFileCheck) is kept aside under a
    // dated name and the shipped database takes its place; damagedDatabaseKeptAside() then
    // names where the old file went.
    static void connect();
    static void disconnect();
    // If "dovrin.sqlite" exists in the documents folder it replaces "vantrel.db".
    static void renameLegacyDB();
    // "yyyy-MM-dd" in the device time zone: a stored day reads back as its local midnight.
    static platform::DateFormatter dbDateFormatter();
    // The open engine, or none.
    static DBHelper* helper();
    // Where the last connect() moved a damaged database; none when it found none. Cleared by
    // takeDamagedDatabaseKeptAside(), so the user is told once.
    static std::optional<std::string> damagedDatabaseKeptAside();
    static std::optional<std::string> takeDamagedDatabaseKeptAside();

    // --- Vehicles ---
    // Every vehicle in stored row order; dueServiceCount counts its services due within the
    // thresholds.
    static std::vector<Vehicle> vehiclesWithServiceDueInDays(int days, int miles);
    static Vehicle getVehicleWithID(int vid);
    // Inserts (vid 0: assigns vid and, unless told otherwise, gives the vehicle its starter
    // services) or updates. True when stored; a new vehicle that could not be stored keeps
    // vid 0.
    static bool saveVehicle(Vehicle& vehicle, bool starterServices = true);
    // Raises the vehicle's odometer to `reading`; a lower reading changes nothing (and is
    // no failure).
    static bool updateOdometer(int reading, int vid);
    // Each vehicle's row order becomes its index in the list. True when every row was stored.
    static bool updateVehicleRowOrders(const std::vector<Vehicle>& vehicles);
    // Removes the vehicle with its services, repairs and fill-ups, then its picture file.
    // All or nothing: false leaves the vehicle and its picture as they were.
    static bool deleteVehicle(int vid);
    // Makes and models already used, sorted, without empty ones.
    static std::vector<std::string> allMakes();
    static std::vector<std::string> allModels();

    // --- Services ---
    // Every vehicle's services that are overdue or due soon, soonest due first.
    static std::vector<Service> allServicesDueInDays(int days, int miles);
    static int dueServiceCount(int days, int miles);
    static int dueServiceCountForVehicle(const Vehicle& vehicle, int days, int miles);
    // One record per service of the vehicle: its latest performance (or its not-recorded
    // record) with the due values, by name.
    static std::vector<Service> serviceSummaryForVehicle(int vid);
    // The recorded performances of one service on one vehicle, newest first.
    static std::vector<Service> serviceHistoryForVehicle(int vid, int serviceID);
    static Service lastService(int serviceID, int vid);
    static Service vehicleServiceWithID(int vehicleServiceID);
    // Every record of every service of the vehicle, the not-recorded ones included, service by
    // service in the order the services were added, each one's records in the order stored.
    static std::vector<Service> allServiceRecordsForVehicle(int vid);
    // Saves the service type (serviceID 0: inserts and assigns it); with a vehicleID also
    // saveVehicleService(service, true). True when all of it was stored; an insert that
    // failed leaves its identifier 0.
    static bool saveService(Service& service);
    // Saves one performance (vehicleServiceID 0: inserts and assigns it); with the flag, raises
    // the vehicle's odometer to its reading. True when stored.
    static bool saveVehicleService(Service& service, bool updateOdometer);
    // Deletes one performance; the last record of a service on a vehicle is reset to not
    // recorded instead, so that the service stays on the vehicle.
    static bool deleteVehicleService(const Service& service);
    // Removes a service from a vehicle with all its records.
    static bool deleteVehicleServiceHistory(int vid, int serviceID);

    // --- Repairs ---
    // Newest first.
    static std::vector<Repair> allRepairsForVehicle(const Vehicle& vehicle);
    static Repair repairWithID(int repairID);
    // True when stored (see saveVehicleService).
    static bool saveRepair(Repair& repair, bool updateOdometer);
    static bool deleteRepair(const Repair& repair);

    // --- Fill-ups ---
    // The vehicle's fill-ups in the period, oldest first (by date, then odometer), converted
    // to `convertToUnit`, with distanceUnit set and the distance and fuel of each tank
    // attributed (calculateDistance). A fill-up whose odometer is lower than the one before it
    // is marked not valid.
    static std::vector<Fillup> fillupsForVehicle(
        const Vehicle& vehicle, int convertToUnit, int distanceUnit, int filterPeriod);
    // True when stored (see saveVehicleService).
    static bool saveFillup(Fillup& fillup, bool updateOdometer);
    static bool deleteFillup(const Fillup& fillup);
    // The vehicle's fill-ups as stored (each in its own unit, nothing attributed), oldest
    // first.
    static std::vector<Fillup> storedFillupsForVehicle(int vid);
    // The SQLite date modifier of a period code ("7 days", "1 months", ...), none for the
    // whole history.
    static std::optional<std::string> filterPeriod(int code);
    // Gives the fill-ups that open a tank, and the Partial ones inside it, the distance to the
    // next Full fill-up and the fuel bought up to it; a Reset ends the open tank without a
    // figure (distance 0, fuel 1).
    static void calculateDistance(std::vector<Fillup>& fillups);

    // --- Transactions ---
    // Everything saved between begin and commit is stored together or, after rollback (or a
    // commit that fails, which rolls back), not at all. Transactions do not nest: begin fails
    // while one is open.
    static bool beginTransaction();
    static bool commitTransaction();
    static void rollbackTransaction();

    // --- Reports: one value per row, oldest first; minDate / maxDate get the first and last
    // dates of the series, none when empty ---
    using OptionalDate = std::optional<platform::Date>;
    static std::vector<float> totalExpensesReport(
        const Vehicle& vehicle, int filter, OptionalDate& minDate, OptionalDate& maxDate);
    static std::vector<float> repairExpensesReport(
        const Vehicle& vehicle, int filter, OptionalDate& minDate, OptionalDate& maxDate);
    static std::vector<float> serviceExpensesReport(
        const Vehicle& vehicle, int filter, OptionalDate& minDate, OptionalDate& maxDate);
    static std::vector<float> fuelExpensesReport(
        const Vehicle& vehicle, int filter, OptionalDate& minDate, OptionalDate& maxDate);
    // Prices of every vehicle's fill-ups in the period, per unit of `fuelUnit`.
    static std::vector<float> fuelPricesReport(
        const Vehicle& vehicle, int filter, int fuelUnit, OptionalDate& minDate, OptionalDate& maxDate);
    static std::vector<float> costForDistanceReport(
        const Vehicle& vehicle, int filter, int distanceUnit, OptionalDate& minDate, OptionalDate& maxDate);
    static std::vector<float> fuelConsumptionReport(const Vehicle& vehicle, int filter, int fuelUnit,
        int distanceUnit, int consumptionUnit, OptionalDate& minDate, OptionalDate& maxDate);
    static std::vector<float> fuelEconomyReport(const Vehicle& vehicle, int filter, int fuelUnit,
        int distanceUnit, int economyUnit, OptionalDate& minDate, OptionalDate& maxDate);
    // Totals spent on services, repairs and fuel, in that order.
    static std::vector<float> costDistributionReport(const Vehicle& vehicle, int filter);
    // Counts of the vehicle's services on schedule, due soon, overdue and not recorded.
    static std::vector<int> serviceStatusReport(const Vehicle& vehicle, int daysBeforeDue, int miles);

private:
    // fillupsForVehicle over the rows of the named query (the fill-up reports name their own).
    static std::vector<Fillup> loadFillups(
        const char* query, const Vehicle& vehicle, int convertToUnit, int distanceUnit, int filterPeriod);
};
