// The due queries must say exactly what the services list says for the same clock and
// thresholds: the count badges, the reminders and the status pie all come from SQL.

#include "data/DBTestSupport.h"

#include <map>
#include <random>
#include <set>

using namespace vantrel::test;

namespace {

platform::Date adding(int years, int months, int days, platform::Date date) {
    platform::DateComponents components;
    if (years)
        components.year = years;
    if (months)
        components.month = months;
    if (days)
        components.day = days;
    return platform::Calendar().dateByAddingComponents(components, date);
}

// Vehicles whose services were performed so that their due days and distances fall around
// the given day: due yesterday, today, tomorrow and a few days either side, at and around
// the distance threshold, and some never recorded.
std::vector<Vehicle> makeFleet(platform::Date aroundDay) {
    std::mt19937 random(20240615);
    std::vector<Vehicle> fleet;
    for (int v = 0; v < 4; ++v) {
        Vehicle vehicle;
        vehicle.name = "Car " + std::to_string(v);
        vehicle.odometer = 40000 + v * 1000;
        DB::saveVehicle(vehicle);
        for (int s = 0; s < 14; ++s) {
            Service service;
            service.vehicleID = vehicle.vid;
            service.name = "Service " + std::to_string(s);
            service.frequencyInMonths = 1 + static_cast<int>(random() % 12);
            service.frequencyInMiles = 1000 * (1 + static_cast<int>(random() % 10));
            DB::saveService(service);
            if (s % 7 == 6)
                continue; // never recorded
            // Performed so that it falls due between 20 days before and 20 days after.
            int dueOffset = static_cast<int>(random() % 41) - 20;
            platform::Date due = adding(0, 0, dueOffset, aroundDay);
            service.datePerformed = adding(0, -service.frequencyInMonths, 0, due);
            int remaining = static_cast<int>(random() % 1400) - 200; // -200 .. 1199 around 500
            service.odometer = vehicle.odometer + remaining - service.frequencyInMiles;
            DB::saveVehicleService(service, false);
            if (s % 5 == 0) { // a second, older performance that must not count
                Service older = service.copy();
                older.vehicleServiceID = 0;
                older.datePerformed = adding(-1, 0, 0, *service.datePerformed);
                older.odometer -= 20000;
                DB::saveVehicleService(older, false);
            }
        }
        fleet.push_back(DB::getVehicleWithID(vehicle.vid));
    }
    return fleet;
}

void expectAgreement(const std::vector<Vehicle>& fleet, int days, int miles, const std::string& when) {
    SCOPED_TRACE(when + " thresholds " + std::to_string(days) + " days, " + std::to_string(miles) + " miles");
    int total = 0;
    std::set<int> dueIDs;
    auto listed = DB::vehiclesWithServiceDueInDays(days, miles);
    ASSERT_EQ(listed.size(), fleet.size());
    for (size_t i = 0; i < fleet.size(); ++i) {
        std::map<DueStatus, int> statuses;
        for (const Service& service : DB::serviceSummaryForVehicle(fleet[i].vid)) {
            DueStatus status = service.dueStatus(miles, days);
            ++statuses[status];
            if (status == DueStatus::Overdue || status == DueStatus::DueSoon)
                dueIDs.insert(service.vehicleServiceID);
        }
        int due = statuses[DueStatus::Overdue] + statuses[DueStatus::DueSoon];
        total += due;
        EXPECT_EQ(DB::dueServiceCountForVehicle(fleet[i], days, miles), due) << fleet[i].name;
        EXPECT_EQ(listed[i].dueServiceCount, due) << fleet[i].name;
        EXPECT_EQ(DB::serviceStatusReport(fleet[i], days, miles),
            (std::vector<int> {statuses[DueStatus::OnSchedule], statuses[DueStatus::DueSoon],
                statuses[DueStatus::Overdue], statuses[DueStatus::NotRecorded]}))
            << fleet[i].name;
    }
    EXPECT_EQ(DB::dueServiceCount(days, miles), total);
    std::set<int> queried;
    for (const Service& service : DB::allServicesDueInDays(days, miles))
        queried.insert(service.vehicleServiceID);
    EXPECT_EQ(queried, dueIDs);
}

void checkAroundMidnights(const std::string& zone) {
    ZoneGuard guard(zone);
    TemporarySandbox sandbox;
    platform::Clock::setNow(localDate(2024, 11, 3, 12));
    DB::connect();
    // The day of a daylight-saving change in New York, so some intervals are 23 or 25 hours.
    auto fleet = makeFleet(localDate(2024, 11, 3));
    for (int day : {2, 3, 4, 5}) {
        platform::Date midnight = localDate(2024, 11, day);
        const std::pair<const char*, double> moments[] = {
            {"one second before midnight", -1},
            {"at midnight", 0},
            {"one second after midnight", 1},
            {"noon", 12 * 3600},
        };
        for (auto [label, offset] : moments) {
            platform::Clock::setNow(midnight.addingTimeInterval(offset));
            std::string when = zone + " Nov " + std::to_string(day) + " " + label;
            expectAgreement(fleet, 14, 500, when);
            expectAgreement(fleet, 0, 0, when);
            expectAgreement(fleet, 3, 800, when);
        }
    }
    DB::disconnect();
}

} // namespace

TEST(DBDueAgreement, QueriesMatchTheRecordRuleAroundMidnightInNewYork) {
    checkAroundMidnights("America/New_York");
}

TEST(DBDueAgreement, QueriesMatchTheRecordRuleAroundMidnightInAuckland) {
    checkAroundMidnights("Pacific/Auckland");
}
