// Importing a Fuelly export of 10,000 fill-ups of one car into an empty logbook: the file
// read (CSV parsed with libcsv, format detected, every cell checked), the plan made (units,
// duplicates against the car) and stored in one transaction. In the same iteration, the bare
// insert of the same rows: one prepared SQLite statement, bound and stepped per row inside one
// transaction, with values already parsed. Counters: the mean of each, in milliseconds, and
// their ratio.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "QLCoreLibrary/DBHelper.h"
#include "data/DB.h"
#include "model/Fillup.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "transfer/ImportPlan.h"
#include "transfer/ImportSource.h"
#include "transfer/LogbookImport.h"

namespace {

constexpr int kFillups = 10000;

struct Row {
    std::string date;
    int odometer;
    double gallons;
    double price;
    int type;
};

// One fill-up every two days from 1990 on, about 290 miles apart; a partial one now and then,
// a missed one rarely.
std::vector<Row> rows() {
    std::vector<Row> made;
    const platform::Calendar calendar;
    for (int i = 0; i < kFillups; ++i) {
        const auto day = calendar.components(calendar.dateFromComponents({1990, 1, 1 + 2 * i, 12, 0, 0, {}}));
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", *day.year, *day.month, *day.day);
        made.push_back({date, 10000 + 290 * i, 8 + (i * 37 % 60) / 10.0, 2.5 + (i * 13 % 150) / 100.0,
            i % 9 == 4         ? kFillupPartial
                : i % 97 == 50 ? kFillupReset
                               : kFillupFull});
    }
    return made;
}

std::string fuellyFile(const std::vector<Row>& rows) {
    std::string text
        = "car_name, model, mpg,  odometer, miles, gallons, price, city_percentage, fuelup_date, "
          "date_added, tags, notes, missed_fuelup, partial_fuelup, latitude, longitude, brand\n";
    char line[512];
    // Newest first, as Fuelly writes them.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        std::snprintf(line, sizeof line,
            "\"Commuter\",\"Estate 2.0\",0,%d.0,290.0,%.3f,%.3f,50,%s,%s 08:00:00,\"\",\"\",%d,%d,,,\"Corner "
            "Fuel\"\n",
            row->odometer, row->gallons, row->price, row->date.c_str(), row->date.c_str(),
            row->type == kFillupReset, row->type == kFillupPartial);
        text += line;
    }
    return text;
}

void emptyLogbook() {
    sqlite3_exec(DB::helper()->database(),
        "DELETE FROM Fillup; DELETE FROM VehicleService; DELETE FROM Service; DELETE FROM Vehicle;", nullptr,
        nullptr, nullptr);
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_importFuellyFile(benchmark::State& state) {
    const std::string root = platform::fs::makeTemporaryDirectory("vantrel-import-bench");
    platform::Sandbox::setRoot(root);
    platform::Clock::setNow(platform::Calendar().dateFromComponents({2024, 6, 15, 12, 0, 0, {}}));
    DB::connect();
    const std::vector<Row> made = rows();
    const ImportSource source = ImportSource::fromText("fuelups.csv", fuellyFile(made));
    sqlite3* database = DB::helper()->database();
    double imported = 0, bare = 0;
    for (auto _ : state) {
        emptyLogbook();
        auto start = std::chrono::steady_clock::now();
        const ImportData data = LogbookImport::read(source, {});
        const ImportPlan plan(data, {}, ImportPlan::defaultTargets(data));
        const auto stored = plan.commit();
        const double importTime = millisecondsSince(start);
        if (!stored || stored->fillups != kFillups)
            state.SkipWithError("the import did not store every fill-up");
        imported += importTime;

        emptyLogbook();
        start = std::chrono::steady_clock::now();
        Vehicle car;
        car.name = "Commuter";
        DB::saveVehicle(car);
        sqlite3_exec(database, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(database,
            "INSERT INTO Fillup (VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type) "
            "VALUES (?1, ?2, ?3, ?4, ?5, 1, 'Station: Corner Fuel', ?6)",
            -1, &insert, nullptr);
        for (const Row& row : made) {
            sqlite3_bind_int(insert, 1, car.vid);
            sqlite3_bind_text(insert, 2, row.date.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 3, row.odometer);
            sqlite3_bind_double(insert, 4, row.gallons);
            sqlite3_bind_double(insert, 5, row.price);
            sqlite3_bind_int(insert, 6, row.type);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(database, "COMMIT", nullptr, nullptr, nullptr);
        bare += millisecondsSince(start);
        state.SetIterationTime(importTime / 1000);
    }
    const double iterations = double(state.iterations());
    state.counters["import_ms"] = imported / iterations;
    state.counters["bare_insert_ms"] = bare / iterations;
    state.counters["ratio"] = imported / bare;
    DB::disconnect();
    platform::fs::removeItem(root);
}

} // namespace

BENCHMARK(BM_importFuellyFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3);
