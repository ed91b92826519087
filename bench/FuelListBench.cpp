// The fuel list of a car with 3,000 fill-ups opening in the browser shell: from the tap on the
// Fuel row of the car's menu, posted over HTTP, to the new frame being available (drawn,
// compared with the one before and encoded). In the same iteration, on the application's
// main loop, the data store's read of the same rows: DB::fillupsForVehicle (records built,
// converted and attributed) and the bare SQLite read of its query (prepared, bound, stepped
// and every column read). Counters: the median and 95th percentile of the tap in
// milliseconds, and the mean of each read.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <random>
#include <sqlite3.h>

#include <httplib.h>

#include "BenchShell.h"
#include "QLCoreLibrary/DBHelper.h"
#include "data/DB.h"
#include "model/Fillup.h"
#include "model/SettingsManager.h"
#include "model/Vehicle.h"

namespace {

constexpr int kFillups = 3000;

// One car with a fill-up about every three days for 3,000 fill-ups, stored before launch.
int fillFuelLog() {
    DB::connect();
    Vehicle car;
    car.name = "Commuter";
    car.make = "Tourer";
    car.model = "Estate";
    car.odometer = 0;
    DB::saveVehicle(car);
    sqlite3* database = DB::helper()->database();
    sqlite3_exec(database, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(database,
        "INSERT INTO Fillup (VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type) "
        "VALUES (?1, date('2000-01-01', '+' || ?2 || ' days'), ?3, ?4, ?5, 1, '', ?6)",
        -1, &insert, nullptr);
    std::mt19937 random(11);
    for (int f = 0; f < kFillups; ++f) {
        sqlite3_bind_int(insert, 1, car.vid);
        sqlite3_bind_int(insert, 2, 3 * f);
        sqlite3_bind_int(insert, 3, 1000 + 290 * f);
        sqlite3_bind_double(insert, 4, 8 + random() % 60 / 10.0);
        sqlite3_bind_double(insert, 5, 2.5 + random() % 150 / 100.0);
        sqlite3_bind_int(insert, 6, f % 9 == 4 ? kFillupPartial : f % 97 == 50 ? kFillupReset : kFillupFull);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(database, "COMMIT", nullptr, nullptr, nullptr);
    DB::updateOdometer(1000 + 290 * kFillups, car.vid);
    DB::disconnect();
    return car.vid;
}

std::optional<ScreenText> find(const std::vector<ScreenText>& texts, const std::string& text) {
    auto it = std::find_if(texts.begin(), texts.end(), [&](const ScreenText& t) { return t.text == text; });
    return it == texts.end() ? std::nullopt : std::optional<ScreenText>(*it);
}

// A tap, and the seconds until the shell answered with its new frame (-1 without an answer).
double tap(httplib::Client& client, double x, double y) {
    bool answered = false;
    double seconds = postTouches(client, {{"down", x, y}, {"up", x, y}}, &answered);
    return answered ? seconds : -1;
}

double bareFillupRead(int vid) {
    const std::string& sql = DB::helper()->queries().at("AllFillups");
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(DB::helper()->database(), sql.c_str(), -1, &statement, nullptr);
    sqlite3_bind_int(statement, sqlite3_bind_parameter_index(statement, "@VehicleID"), vid);
    sqlite3_bind_null(statement, sqlite3_bind_parameter_index(statement, "@FilterPeriod"));
    double checksum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            if (sqlite3_column_type(statement, column) == SQLITE_TEXT)
                checksum
                    += sqlite3_column_bytes(statement, column) + sqlite3_column_text(statement, column)[0];
            else
                checksum += sqlite3_column_double(statement, column);
        }
    }
    sqlite3_finalize(statement);
    return checksum;
}

void BM_FuelListOpensWithThreeThousandFillups(benchmark::State& state) {
    int vid = 0;
    BenchShell shell("fuel", [&vid] { vid = fillFuelLog(); });
    if (shell.port() < 0) {
        state.SkipWithError("the shell could not start");
        return;
    }
    httplib::Client client("127.0.0.1", shell.port());
    // Into the car's menu.
    std::vector<ScreenText> texts = screenTexts(client);
    auto car = find(texts, "Commuter");
    if (!car) {
        state.SkipWithError("the car is not in the list");
        return;
    }
    tap(client, car->x, car->y);
    auto fuelRow = find(screenTexts(client), "Fuel");
    if (!fuelRow) {
        state.SkipWithError("the car's menu has no Fuel row");
        return;
    }

    std::vector<double> taps;
    double storeSeconds = 0, bareSeconds = 0;
    for (auto _ : state) {
        double seconds = tap(client, fuelRow->x, fuelRow->y);
        state.SetIterationTime(std::max(0.0, seconds));
        taps.push_back(seconds);
        if (taps.size() == 1) {
            // The rows' purchase lines end with the type of the fill-up.
            std::string seen;
            bool listed = false;
            for (const ScreenText& text : screenTexts(client)) {
                seen += text.text + " | ";
                listed = listed || text.text.ends_with("(F)");
            }
            if (!listed) {
                state.SkipWithError(("the tap did not open the fuel list; the screen shows " + seen).c_str());
                return;
            }
        }
        auto reads = shell.onMain([&vid] {
            using Clock = std::chrono::steady_clock;
            SettingsManager& settings = SettingsManager::sharedManager();
            Vehicle car = DB::getVehicleWithID(vid);
            auto start = Clock::now();
            auto fillups = DB::fillupsForVehicle(car, settings.fuelUnit(), settings.distanceUnit(), 6);
            auto middle = Clock::now();
            benchmark::DoNotOptimize(bareFillupRead(vid));
            auto end = Clock::now();
            benchmark::DoNotOptimize(fillups.size());
            return std::pair(std::chrono::duration<double>(middle - start).count(),
                std::chrono::duration<double>(end - middle).count());
        });
        storeSeconds += reads.first;
        bareSeconds += reads.second;
        tap(client, 30, 42); // back to the menu
        auto row = find(screenTexts(client), "Fuel");
        if (!row || row->x != fuelRow->x || row->y != fuelRow->y) {
            state.SkipWithError("the back button did not return to the car's menu");
            return;
        }
    }
    if (taps.empty())
        return;
    double iterations = double(taps.size());
    setLatencyCounters(state, taps);
    state.counters["store_read_ms"] = storeSeconds / iterations * 1000;
    state.counters["bare_read_ms"] = bareSeconds / iterations * 1000;
}
BENCHMARK(BM_FuelListOpensWithThreeThousandFillups)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

} // namespace
