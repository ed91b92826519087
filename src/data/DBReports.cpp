// The report operations of DB: each turns the rows of one query, or the vehicle's loaded
// fill-ups, into a series of numbers with the dates of its first and last rows.

#include "QLCoreLibrary/DBHelper.h"
#include "data/DB.h"
#include "data/DBRows.h"
#include "model/Units.h"

namespace {

DBHelper& engine() {
    static DBHelper disconnected(nullptr);
    DBHelper* helper = DB::helper();
    return helper ? *helper : disconnected;
}

void beginReport(DBHelper& helper, const char* query, const Vehicle* vehicle, int filter) {
    helper.beginResourceQuery(query);
    if (vehicle)
        helper.setInteger(vehicle->vid, "@VehicleID");
    helper.setString(DB::filterPeriod(filter), "@FilterPeriod");
}

// Reads every row: `date` and `value` give the row's date and its value (none adds no
// point). The first date is the first row that has one, the last date that of the last row.
template<typename DateOf, typename ValueOf>
std::vector<float> lineSeries(
    DBHelper& helper, DB::OptionalDate& minDate, DB::OptionalDate& maxDate, DateOf dateOf, ValueOf valueOf) {
    minDate.reset();
    maxDate.reset();
    std::vector<float> series;
    while (helper.read()) {
        std::optional<platform::Date> date = dateOf(helper);
        if (!minDate)
            minDate = date;
        if (std::optional<float> value = valueOf(helper))
            series.push_back(*value);
        maxDate = date;
    }
    helper.endQuery();
    return series;
}

// The fill-up based series: one point per fill-up that closes a tank (distance above 0).
template<typename ValueOf>
std::vector<float> fillupSeries(const std::vector<Fillup>& fillups, DB::OptionalDate& minDate,
    DB::OptionalDate& maxDate, ValueOf valueOf) {
    minDate.reset();
    maxDate.reset();
    std::vector<float> series;
    for (const Fillup& fillup : fillups) {
        if (!minDate)
            minDate = fillup.date;
        if (fillup.distance > 0)
            series.push_back(valueOf(fillup));
        maxDate = fillup.date;
    }
    return series;
}

} // namespace

std::vector<float> DB::totalExpensesReport(
    const Vehicle& vehicle, int filter, OptionalDate& minDate, OptionalDate& maxDate) {
    DBHelper& helper = engine();
    beginReport(helper, "TotalExpensesReport", &vehicle, filter);
    return lineSeries(
        helper, minDate, maxDate, [](DBHelper& h) { return DBRows::dateValueForColumn(h, 0); },
        [](DBHelper& h) { return std::optional<float>(static_cast<float>(h.doubleValueForColumn(1))); });
}

std::vector<float> DB::repairExpensesReport(
    const Vehicle& vehicle, int filter, OptionalDate& minDate, OptionalDate& maxDate) {
    DBHelper& helper = engine();
    beginReport(helper, "RepairExpensesReport", &vehicle, filter);
    return lineSeries(
        helper, minDate, maxDate, [](DBHelper& h) { return DBRows::dateValueForColumn(h, 3); },
        [](DBHelper& h) { return std::optional<float>(static_cast<float>(DBRows::repair(h).cost)); });
}

std::vector<float> DB::serviceExpensesReport(
    const Vehicle& vehicle, int filter, OptionalDate& minDate, OptionalDate& maxDate) {
    DBHelper& helper = engine();
    beginReport(helper, "ServiceExpensesReport", &vehicle, filter);
    minDate.reset();
    maxDate.reset();
    std::vector<float> series;
    // Only performed services count, for the values and for both dates.
    while (helper.read()) {
        Service service = DBRows::service(helper);
        if (!service.datePerformed)
            continue;
        if (!minDate)
            minDate = service.datePerformed;
        series.push_back(static_cast<float>(service.cost));
        maxDate = service.datePerformed;
    }
    helper.endQuery();
    return series;
}

std::vector<float> DB::fuelExpensesReport(
    const Vehicle& vehicle, int filter, OptionalDate& minDate, OptionalDate& maxDate) {
    DBHelper& helper = engine();
    beginReport(helper, "FuelExpensesReport", &vehicle, filter);
    return lineSeries(
        helper, minDate, maxDate, [](DBHelper& h) { return DBRows::dateValueForColumn(h, 2); },
        [](DBHelper& h) {
            Fillup fillup = DBRows::fillup(h);
            return std::optional<float>(static_cast<float>(fillup.costPerUnit * fillup.quantity));
        });
}

std::vector<float> DB::fuelPricesReport(
    const Vehicle&, int filter, int fuelUnit, OptionalDate& minDate, OptionalDate& maxDate) {
    DBHelper& helper = engine();
    // Prices are those of every vehicle: the price of fuel does not depend on the car.
    beginReport(helper, "FuelPricesReportData", nullptr, filter);
    return lineSeries(
        helper, minDate, maxDate, [](DBHelper& h) { return DBRows::dateValueForColumn(h, 2); },
        [fuelUnit](DBHelper& h) {
            Fillup fillup = DBRows::fillup(h);
            fillup.convertToUnit(fuelUnit);
            return std::optional<float>(static_cast<float>(fillup.costPerUnit));
        });
}

std::vector<float> DB::costForDistanceReport(
    const Vehicle& vehicle, int filter, int distanceUnit, OptionalDate& minDate, OptionalDate& maxDate) {
    auto fillups = loadFillups("CostForDistanceReport", vehicle, kFuelUSGallon, distanceUnit, filter);
    int economyCode = distanceUnit == kDistanceMiles ? 0 : 4;
    return fillupSeries(fillups, minDate, maxDate, [economyCode](const Fillup& fillup) {
        return static_cast<float>(fillup.costPerUnit) / fillup.economyWithUnit(economyCode);
    });
}

std::vector<float> DB::fuelConsumptionReport(const Vehicle& vehicle, int filter, int fuelUnit,
    int distanceUnit, int consumptionUnit, OptionalDate& minDate, OptionalDate& maxDate) {
    auto fillups = loadFillups("FuelConsumptionReport", vehicle, fuelUnit, distanceUnit, filter);
    return fillupSeries(fillups, minDate, maxDate,
        [consumptionUnit](const Fillup& fillup) { return fillup.efficiencyWithUnit(consumptionUnit); });
}

std::vector<float> DB::fuelEconomyReport(const Vehicle& vehicle, int filter, int fuelUnit, int distanceUnit,
    int economyUnit, OptionalDate& minDate, OptionalDate& maxDate) {
    auto fillups = loadFillups("FuelEconomyReport", vehicle, fuelUnit, distanceUnit, filter);
    return fillupSeries(fillups, minDate, maxDate,
        [economyUnit](const Fillup& fillup) { return fillup.economyWithUnit(economyUnit); });
}

std::vector<float> DB::costDistributionReport(const Vehicle& vehicle, int filter) {
    DBHelper& helper = engine();
    beginReport(helper, "CostDistributionReport", &vehicle, filter);
    std::vector<float> totals;
    while (helper.read())
        totals.push_back(static_cast<float>(helper.doubleValueForColumn(0)));
    helper.endQuery();
    return totals;
}

std::vector<int> DB::serviceStatusReport(const Vehicle& vehicle, int daysBeforeDue, int miles) {
    DBHelper& helper = engine();
    helper.beginResourceQuery("ServiceStatusReport");
    helper.setInteger(vehicle.vid, "@VehicleID");
    helper.setInteger(daysBeforeDue, "@DaysBeforeDue");
    helper.setInteger(miles, "@MilesBeforeDue");
    std::vector<int> counts;
    while (helper.read())
        counts.push_back(helper.intValueForColumn(0));
    helper.endQuery();
    return counts;
}
