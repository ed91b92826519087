// The data store over a large history: 10 vehicles, each with 20 services x 50 performances,
// 500 repairs and 3,000 fill-ups. Every operation runs beside the bare SQLite read of the
// same rows (the same query text prepared, bound, stepped and its columns read, with no
// records built), in the same iteration; the counters give both times and their ratio.

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <random>
#include <sqlite3.h>

#include "QLCoreLibrary/DBHelper.h"
#include "data/DB.h"
#include "data/DBDateCodec.h"
#include "model/Units.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"

namespace {

constexpr int kVehicles = 10;
constexpr int kServicesPerVehicle = 20;
constexpr int kPerformances = 50;
constexpr int kRepairs = 500;
constexpr int kFillups = 3000;

// Days since 1970-01-01 to a stored day.
std::string dayText(long days) {
    days += 719468;
    long era = (days >= 0 ? days : days - 146096) / 146097;
    long dayOfEra = days - era * 146097;
    long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long mp = (5 * dayOfYear + 2) / 153;
    int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
    return DBDateCodec::formatDay({year, month, day});
}

sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(DB::helper()->database(), sql, -1, &statement, nullptr);
    return statement;
}

void run(sqlite3_stmt* statement) {
    sqlite3_step(statement);
    sqlite3_reset(statement);
}

class History {
public:
    static History& shared() {
        static History history;
        return history;
    }
    const std::vector<Vehicle>& vehicles() const { return m_vehicles; }

    ~History() {
        DB::disconnect();
        platform::fs::removeItem(m_root);
    }

private:
    History()
        : m_root(platform::fs::makeTemporaryDirectory("vantrel-bench")) {
        platform::Sandbox::setRoot(m_root);
        platform::Clock::setNow(platform::Calendar().dateFromComponents({2024, 6, 15, 12, 0, 0, {}}));
        DB::connect();
        const long today = 19889; // 2024-0615 in days since 1970
        std::mt19937 random(7);
        for (int v = 0; v < kVehicles; ++v) {
            Vehicle vehicle;
            vehicle.name = "Vehicle " + std::to_string(v);
            vehicle.make = v % 2 ? "Honda" : "Ford";
            vehicle.model = "Model " + std::to_string(v % 4);
            vehicle.odometer = 0;
            DB::saveVehicle(vehicle);
            for (int s = 5; s < kServicesPerVehicle; ++s) {
                Service service;
                service.vehicleID = vehicle.vid;
                service.name = "Service " + std::to_string(s);
                service.frequencyInMiles = 1000 * (3 + s % 10);
                service.frequencyInMonths = 3 + s % 12;
                DB::saveService(service);
            }
            m_vehicles.push_back(vehicle);
        }

        sqlite3_exec(DB::helper()->database(), "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* fill = prepare("UPDATE VehicleService SET DatePerformed = ?1, Odometer = ?2, Cost = ?3 "
                                     "WHERE VehicleServiceID = ?4");
        sqlite3_stmt* perform
            = prepare("INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, "
                      "Cost, Notes) VALUES (?1, ?2, ?3, ?4, ?5, 'routine')");
        sqlite3_stmt* repair
            = prepare("INSERT INTO Repair (VehicleID, Name, DatePerformed, Odometer, Cost, Notes) "
                      "VALUES (?1, 'Repair', ?2, ?3, ?4, '')");
        sqlite3_stmt* fillup
            = prepare("INSERT INTO Fillup (VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, "
                      "Notes, Type) VALUES (?1, ?2, ?3, ?4, ?5, 1, '', ?6)");
        for (Vehicle& vehicle : m_vehicles) {
            // One fill-up a day for 3,000 days, about 40 miles a day.
            long firstDay = today - kFillups;
            for (int f = 0; f < kFillups; ++f) {
                std::string day = dayText(firstDay + f);
                sqlite3_bind_int(fillup, 1, vehicle.vid);
                sqlite3_bind_text(fillup, 2, day.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(fillup, 3, 40 * f);
                sqlite3_bind_double(fillup, 4, 2 + random() % 120 / 10.0);
                sqlite3_bind_double(fillup, 5, 2.5 + random() % 150 / 100.0);
                sqlite3_bind_int(fillup, 6,
                    f % 17 == 0        ? kFillupPartial
                        : f % 101 == 0 ? kFillupReset
                                       : kFillupFull);
                run(fillup);
            }
            for (int r = 0; r < kRepairs; ++r) {
                long day = firstDay + r * 6;
                std::string text = dayText(day);
                sqlite3_bind_int(repair, 1, vehicle.vid);
                sqlite3_bind_text(repair, 2, text.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(repair, 3, static_cast<int>(40 * (day - firstDay)));
                sqlite3_bind_double(repair, 4, 50 + random() % 900);
                run(repair);
            }
            for (const Service& service : DB::serviceSummaryForVehicle(vehicle.vid)) {
                // Performed every 60 days, the latest between 0 and 200 days ago.
                long latest = today - static_cast<long>(random() % 200);
                for (int p = 0; p < kPerformances; ++p) {
                    long day = latest - 60L * (kPerformances - 1 - p);
                    std::string text = dayText(day);
                    int odometer = static_cast<int>(40 * (day - firstDay));
                    sqlite3_stmt* statement = p == 0 ? fill : perform;
                    if (p == 0) {
                        sqlite3_bind_text(fill, 1, text.c_str(), -1, SQLITE_TRANSIENT);
                        sqlite3_bind_int(fill, 2, odometer);
                        sqlite3_bind_double(fill, 3, 30 + random() % 200);
                        sqlite3_bind_int(fill, 4, service.vehicleServiceID);
                    } else {
                        sqlite3_bind_int(perform, 1, vehicle.vid);
                        sqlite3_bind_int(perform, 2, service.serviceID);
                        sqlite3_bind_text(perform, 3, text.c_str(), -1, SQLITE_TRANSIENT);
                        sqlite3_bind_int(perform, 4, odometer);
                        sqlite3_bind_double(perform, 5, 30 + random() % 200);
                    }
                    run(statement);
                }
            }
            DB::updateOdometer(40 * kFillups, vehicle.vid);
            vehicle = DB::getVehicleWithID(vehicle.vid);
        }
        for (sqlite3_stmt* statement : {fill, perform, repair, fillup})
            sqlite3_finalize(statement);
        sqlite3_exec(DB::helper()->database(), "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_exec(DB::helper()->database(), "ANALYZE", nullptr, nullptr, nullptr);
    }

    std::string m_root;
    std::vector<Vehicle> m_vehicles;
};

struct Binding {
    const char* name;
    std::optional<int> value; // none binds null
};

// The bare read: the named query's text prepared, bound, stepped, every column read.
double bareRead(const char* query, std::initializer_list<Binding> bindings) {
    const std::string& sql = DB::helper()->queries().at(query);
    sqlite3_stmt* statement = prepare(sql.c_str());
    for (const Binding& binding : bindings) {
        int index = sqlite3_bind_parameter_index(statement, binding.name);
        if (binding.value)
            sqlite3_bind_int(statement, index, *binding.value);
        else
            sqlite3_bind_null(statement, index);
    }
    double checksum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        int columns = sqlite3_column_count(statement);
        for (int column = 0; column < columns; ++column) {
            switch (sqlite3_column_type(statement, column)) {
            case SQLITE_INTEGER:
                checksum += sqlite3_column_int(statement, column);
                break;
            case SQLITE_FLOAT:
                checksum += sqlite3_column_double(statement, column);
                break;
            case SQLITE_TEXT:
                checksum
                    += sqlite3_column_bytes(statement, column) + sqlite3_column_text(statement, column)[0];
                break;
            default:
                break;
            }
        }
    }
    sqlite3_finalize(statement);
    return checksum;
}

void compare(
    benchmark::State& state, const std::function<void()>& operation, const std::function<double()>& bare) {
    History::shared();
    using Clock = std::chrono::steady_clock;
    double operationSeconds = 0;
    double bareSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        operation();
        auto middle = Clock::now();
        benchmark::DoNotOptimize(bare());
        auto end = Clock::now();
        operationSeconds += std::chrono::duration<double>(middle - start).count();
        bareSeconds += std::chrono::duration<double>(end - middle).count();
    }
    double iterations = static_cast<double>(state.iterations());
    state.counters["op_ms"] = operationSeconds / iterations * 1e3;
    state.counters["bare_ms"] = bareSeconds / iterations * 1e3;
    state.counters["ratio"] = bareSeconds > 0 ? operationSeconds / bareSeconds : 0;
}

const Vehicle& firstVehicle() {
    return History::shared().vehicles().front();
}
int firstVID() {
    return firstVehicle().vid;
}

DB::OptionalDate g_min;
DB::OptionalDate g_max;

} // namespace

static void BM_vehiclesWithServiceDueInDays(benchmark::State& state) {
    compare(
        state, [] { benchmark::DoNotOptimize(DB::vehiclesWithServiceDueInDays(14, 500)); },
        [] {
            return bareRead("AllVehicles", {{"@DaysBeforeDue", 14}, {"@MilesBeforeDue", 500}});
        });
}
BENCHMARK(BM_vehiclesWithServiceDueInDays)->Unit(benchmark::kMillisecond);

static void BM_dueServiceCount(benchmark::State& state) {
    compare(
        state, [] { benchmark::DoNotOptimize(DB::dueServiceCount(14, 500)); },
        [] {
            return bareRead("DueServiceCount", {{"@DaysBeforeDue", 14}, {"@MilesBeforeDue", 500}});
        });
}
BENCHMARK(BM_dueServiceCount)->Unit(benchmark::kMillisecond);

static void BM_dueServiceCountForVehicle(benchmark::State& state) {
    compare(
        state, [] { benchmark::DoNotOptimize(DB::dueServiceCountForVehicle(firstVehicle(), 14, 500)); },
        [] {
            return bareRead("DueVehicleServiceCount",
                {{"@VehicleID", firstVID()}, {"@DaysBeforeDue", 14}, {"@MilesBeforeDue", 500}});
        });
}
BENCHMARK(BM_dueServiceCountForVehicle)->Unit(benchmark::kMillisecond);

static void BM_allServicesDueInDays(benchmark::State& state) {
    compare(
        state, [] { benchmark::DoNotOptimize(DB::allServicesDueInDays(14, 500)); },
        [] {
            return bareRead("AllDueServices", {{"@DaysBeforeDue", 14}, {"@MilesBeforeDue", 500}});
        });
}
BENCHMARK(BM_allServicesDueInDays)->Unit(benchmark::kMillisecond);

static void BM_serviceSummaryForVehicle(benchmark::State& state) {
    compare(
        state, [] { benchmark::DoNotOptimize(DB::serviceSummaryForVehicle(firstVID())); },
        [] {
            return bareRead("VehicleServiceSummary", {{"@VehicleID", firstVID()}});
        });
}
BENCHMARK(BM_serviceSummaryForVehicle)->Unit(benchmark::kMillisecond);

static void BM_fillupsForVehicle(benchmark::State& state) {
    compare(
        state,
        [] {
            benchmark::DoNotOptimize(
                DB::fillupsForVehicle(firstVehicle(), kFuelLiter, kDistanceKilometers, 6));
        },
        [] {
            return bareRead("AllFillups", {{"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt}});
        });
}
BENCHMARK(BM_fillupsForVehicle)->Unit(benchmark::kMillisecond);

#define VANTREL_REPORT_BENCH(NAME, CALL, QUERY, ...)                                                         \
    static void BM_##NAME(benchmark::State& state) {                                                         \
        compare(                                                                                             \
            state, [] { benchmark::DoNotOptimize(CALL); }, [] { return bareRead(QUERY, {__VA_ARGS__}); });   \
    }                                                                                                        \
    BENCHMARK(BM_##NAME)->Unit(benchmark::kMillisecond);

VANTREL_REPORT_BENCH(totalExpensesReport, DB::totalExpensesReport(firstVehicle(), 6, g_min, g_max),
    "TotalExpensesReport", {"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(repairExpensesReport, DB::repairExpensesReport(firstVehicle(), 6, g_min, g_max),
    "RepairExpensesReport", {"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(serviceExpensesReport, DB::serviceExpensesReport(firstVehicle(), 6, g_min, g_max),
    "ServiceExpensesReport", {"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(fuelExpensesReport, DB::fuelExpensesReport(firstVehicle(), 6, g_min, g_max),
    "FuelExpensesReport", {"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(fuelPricesReport, DB::fuelPricesReport(firstVehicle(), 6, kFuelLiter, g_min, g_max),
    "FuelPricesReportData", {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(costForDistanceReport,
    DB::costForDistanceReport(firstVehicle(), 6, kDistanceMiles, g_min, g_max), "CostForDistanceReport",
    {"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(fuelConsumptionReport,
    DB::fuelConsumptionReport(firstVehicle(), 6, kFuelLiter, kDistanceKilometers, 3, g_min, g_max),
    "FuelConsumptionReport", {"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(fuelEconomyReport,
    DB::fuelEconomyReport(firstVehicle(), 6, kFuelUSGallon, kDistanceMiles, 0, g_min, g_max),
    "FuelEconomyReport", {"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(costDistributionReport, DB::costDistributionReport(firstVehicle(), 6),
    "CostDistributionReport", {"@VehicleID", firstVID()}, {"@FilterPeriod", std::nullopt})
VANTREL_REPORT_BENCH(serviceStatusReport, DB::serviceStatusReport(firstVehicle(), 14, 500),
    "ServiceStatusReport", {"@VehicleID", firstVID()}, {"@DaysBeforeDue", 14}, {"@MilesBeforeDue", 500})
