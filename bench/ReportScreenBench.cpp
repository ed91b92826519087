// The report screens over a car with 3,000 fill-ups (one a day, about 40 miles apart), 300
// repairs and 5 services performed every 60 days: opening a report (the screen built, its
// whole-history report generated, the frame composed at scale 2 as the shell sends it) and
// pressing a period button (the report generated again, the frame composed). Each iteration
// also runs the screen's bare report query (the DB operation alone), so the counters give
// both side by side: screen_ms (the whole step) and query_ms (its query) on the clock, and
// the same in this thread's CPU time (screen_cpu_ms, query_cpu_ms) for a shared machine.

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <random>
#include <sqlite3.h>
#include <time.h>

#include "QLCoreLibrary/DBHelper.h"
#include "data/DB.h"
#include "data/DBDateCodec.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Sandbox.h"
#include "platform/views/Application.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Window.h"
#include "reports/LineChartViewController.h"
#include "reports/PieChartViewController.h"
#include "ui/ThemedViewController.h"

using namespace platform::views;

namespace {

constexpr int kFillups = 3000;
constexpr int kRepairs = 300;
constexpr int kPerformances = 50;
// The pie reports follow the eight line reports in the benchmarks' argument.
constexpr int kExpenseDistributionArg = 8;
constexpr int kServiceStatusArg = 9;

platform::Date day(int daysBeforeToday) {
    platform::DateComponents back;
    back.day = -daysBeforeToday;
    return platform::Calendar().dateByAddingComponents(back, platform::Clock::now());
}

// The car's data folder, filled once; each benchmark opens it and closes it again, so the
// other benchmarks of the run find the data store as they left it.
class Garage {
public:
    static Garage& shared() {
        static Garage garage;
        return garage;
    }
    const std::string& root() const { return m_root; }
    const Vehicle& car() const { return m_car; }

    ~Garage() { platform::fs::removeItem(m_root); }

private:
    Garage()
        : m_root(platform::fs::makeTemporaryDirectory("vantrel-report-bench")) {
        platform::Sandbox::setRoot(m_root);
        DB::connect();
        m_car.name = "Tourer";
        DB::saveVehicle(m_car);
        sqlite3* db = DB::helper()->database();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        std::mt19937 random(11);
        for (int f = 0; f < kFillups; ++f) {
            Fillup fillup;
            fillup.vehicleID = m_car.vid;
            fillup.date = day(kFillups - f);
            fillup.odometer = 40 * f;
            fillup.quantity = 2 + random() % 120 / 10.0;
            fillup.costPerUnit = 2.5 + random() % 150 / 100.0;
            fillup.units = kFuelUSGallon;
            fillup.type = f % 17 == 0 ? kFillupPartial : f % 101 == 0 ? kFillupReset : kFillupFull;
            DB::saveFillup(fillup, false);
        }
        for (int r = 0; r < kRepairs; ++r) {
            Repair repair;
            repair.vehicleID = m_car.vid;
            repair.name = "Repair";
            repair.datePerformed = day(kFillups - 10 * r);
            repair.cost = 50 + random() % 900;
            DB::saveRepair(repair, false);
        }
        for (Service service : DB::serviceSummaryForVehicle(m_car.vid)) {
            for (int p = 0; p < kPerformances; ++p) {
                service.datePerformed = day(60 * (kPerformances - p));
                service.cost = 30 + random() % 200;
                DB::saveVehicleService(service, false);
                service.vehicleServiceID = 0;
            }
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        DB::updateOdometer(40 * kFillups, m_car.vid);
        m_car = DB::getVehicleWithID(m_car.vid);
        DB::disconnect();
    }

    std::string m_root;
    Vehicle m_car;
};

// The application's window with the car's reports page under a navigation bar.
class Session {
public:
    Session() {
        platform::Clock::setNow(platform::Calendar().dateFromComponents({2024, 6, 15, 12, 0, 0, {}}));
        Garage& garage = Garage::shared();
        platform::Sandbox::setRoot(garage.root());
        DB::connect();
        Application::sharedApplication().reset();
        ThemedViewController::setSelectedTheme(0);
        m_navigation = std::make_shared<NavigationController>(std::make_shared<ViewController>());
        m_window = std::make_shared<Window>();
        m_window->setRootViewController(m_navigation);
        m_window->makeKeyAndVisible();
        m_window->layoutIfNeeded();
    }
    ~Session() {
        m_navigation.reset();
        m_window.reset();
        Application::sharedApplication().reset();
        platform::RunLoop::main().reset();
        DB::disconnect();
    }

    std::shared_ptr<ChartViewController> makeReport(int arg) const {
        const Vehicle& car = Garage::shared().car();
        if (arg == kExpenseDistributionArg)
            return std::make_shared<PieChartViewController>(
                PieChartViewController::kExpenseDistribution, car);
        if (arg == kServiceStatusArg)
            return std::make_shared<PieChartViewController>(PieChartViewController::kServiceStatus, car);
        return std::make_shared<LineChartViewController>(arg, car);
    }
    void push(const std::shared_ptr<ChartViewController>& screen) {
        m_navigation->pushViewController(screen, false);
    }
    void pop() { m_navigation->popViewControllerAnimated(false); }
    void render() { benchmark::DoNotOptimize(m_window->render(2)); }

private:
    std::shared_ptr<NavigationController> m_navigation;
    std::shared_ptr<Window> m_window;
};

// The query each screen runs for the whole history, in the settings' units.
void bareQuery(int arg) {
    const Vehicle& car = Garage::shared().car();
    const SettingsManager& s = SettingsManager::sharedManager();
    DB::OptionalDate first, last;
    switch (arg) {
    case LineChartViewController::kFuelEconomy:
        benchmark::DoNotOptimize(
            DB::fuelEconomyReport(car, 6, s.fuelUnit(), s.distanceUnit(), s.fuelEconomyUnit(), first, last));
        break;
    case LineChartViewController::kFuelConsumption:
        benchmark::DoNotOptimize(DB::fuelConsumptionReport(
            car, 6, s.fuelUnit(), s.distanceUnit(), s.fuelEfficiencyUnit(), first, last));
        break;
    case LineChartViewController::kCostForDistance:
        benchmark::DoNotOptimize(DB::costForDistanceReport(car, 6, s.distanceUnit(), first, last));
        break;
    case LineChartViewController::kFuelPrices:
        benchmark::DoNotOptimize(DB::fuelPricesReport(car, 6, s.fuelUnit(), first, last));
        break;
    case LineChartViewController::kFuelExpenses:
        benchmark::DoNotOptimize(DB::fuelExpensesReport(car, 6, first, last));
        break;
    case LineChartViewController::kServiceExpenses:
        benchmark::DoNotOptimize(DB::serviceExpensesReport(car, 6, first, last));
        break;
    case LineChartViewController::kRepairExpenses:
        benchmark::DoNotOptimize(DB::repairExpensesReport(car, 6, first, last));
        break;
    case LineChartViewController::kTotalExpenses:
        benchmark::DoNotOptimize(DB::totalExpensesReport(car, 6, first, last));
        break;
    case kExpenseDistributionArg:
        benchmark::DoNotOptimize(DB::costDistributionReport(car, 6));
        break;
    case kServiceStatusArg:
        benchmark::DoNotOptimize(DB::serviceStatusReport(car, s.daysBeforeDue(), s.distanceBeforeDue()));
        break;
    }
}

double threadSeconds() {
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Times `step` and `query` apart in each iteration, on the clock and in this thread's CPU
// time (the machine may be shared); `cleanUp` runs outside both (and outside the
// benchmark's own time).
void measure(benchmark::State& state, const std::function<void()>& step, const std::function<void()>& query,
    const std::function<void()>& cleanUp = {}) {
    using Clock = std::chrono::steady_clock;
    double stepSeconds = 0, querySeconds = 0, stepCPU = 0, queryCPU = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        double startCPU = threadSeconds();
        step();
        auto middle = Clock::now();
        double middleCPU = threadSeconds();
        query();
        auto end = Clock::now();
        double endCPU = threadSeconds();
        stepSeconds += std::chrono::duration<double>(middle - start).count();
        querySeconds += std::chrono::duration<double>(end - middle).count();
        stepCPU += middleCPU - startCPU;
        queryCPU += endCPU - middleCPU;
        if (cleanUp) {
            state.PauseTiming();
            cleanUp();
            state.ResumeTiming();
        }
    }
    double iterations = static_cast<double>(state.iterations());
    state.counters["screen_ms"] = stepSeconds / iterations * 1e3;
    state.counters["query_ms"] = querySeconds / iterations * 1e3;
    state.counters["screen_cpu_ms"] = stepCPU / iterations * 1e3;
    state.counters["query_cpu_ms"] = queryCPU / iterations * 1e3;
}

void BM_ReportOpen(benchmark::State& state) {
    Session session;
    const int arg = static_cast<int>(state.range(0));
    measure(
        state,
        [&] {
            session.push(session.makeReport(arg));
            session.render();
        },
        [&] { bareQuery(arg); }, [&] { session.pop(); });
}
BENCHMARK(BM_ReportOpen)->DenseRange(0, kServiceStatusArg)->Unit(benchmark::kMillisecond);

void BM_ReportPeriodButton(benchmark::State& state) {
    Session session;
    const int arg = static_cast<int>(state.range(0));
    auto screen = session.makeReport(arg);
    session.push(screen);
    session.render();
    Button& all = *screen->filterButton(ChartViewController::kWholeHistory);
    measure(
        state,
        [&] {
            screen->filterButtonPressed(all);
            session.render();
        },
        [&] { bareQuery(arg); });
}
// The service status has no period buttons.
BENCHMARK(BM_ReportPeriodButton)->DenseRange(0, kExpenseDistributionArg)->Unit(benchmark::kMillisecond);

} // namespace
