#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "QLCoreLibrary/DBHelper.h"
#include "data/DB.h"
#include "model/Units.h"
#include "platform/base/Bundle.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/Date.h"
#include "platform/base/FileSystem.h"
#include "platform/base/TimeZone.h"
#include "support/TemporarySandbox.h"

namespace vantrel::test {

// Points the bundle at another folder and build version for one test.
class BundleOverride {
public:
    BundleOverride(const std::string& resourcePath, const std::string& version)
        : m_path(platform::Bundle::mainBundle().resourcePath())
        , m_version(platform::Bundle::mainBundle().version()) {
        platform::Bundle::mainBundle().setResourcePath(resourcePath);
        platform::Bundle::mainBundle().setVersion(version);
    }
    ~BundleOverride() {
        platform::Bundle::mainBundle().setResourcePath(m_path);
        platform::Bundle::mainBundle().setVersion(m_version);
    }
    BundleOverride(const BundleOverride&) = delete;
    BundleOverride& operator=(const BundleOverride&) = delete;

private:
    std::string m_path;
    std::string m_version;
};

// A local time in the device time zone.
inline platform::Date localDate(int year, int month, int day, int hour = 0, int minute = 0) {
    return platform::Calendar().dateFromComponents({year, month, day, hour, minute, 0, {}});
}

// Sets the device time zone for one scope.
struct ZoneGuard {
    explicit ZoneGuard(const std::string& zone) { platform::TimeZone::setDefault(zone); }
    ~ZoneGuard() { platform::TimeZone::setDefault({}); }
};

// Saves a fill-up of the vehicle and returns it with its identifier.
inline Fillup fillupAt(int vid, platform::Date date, int odometer, double quantity, int type = kFillupFull,
    double price = 3.0, int units = kFuelUSGallon) {
    Fillup fillup;
    fillup.vehicleID = vid;
    fillup.date = date;
    fillup.odometer = odometer;
    fillup.quantity = quantity;
    fillup.costPerUnit = price;
    fillup.units = units;
    fillup.type = type;
    DB::saveFillup(fillup, false);
    return fillup;
}

// A fresh sandbox with the shipped database connected; the clock fixed at noon on
// 2024-06-15 (local), a Saturday.
class DBTest : public testing::Test {
protected:
    void SetUp() override {
        platform::Clock::setNow(localDate(2024, 6, 15, 12));
        DB::connect();
        ASSERT_NE(DB::helper(), nullptr);
    }
    void TearDown() override { DB::disconnect(); }

    // Runs SQL on the open connection (table counts, direct edits); the first column of the
    // first row as text.
    static std::optional<std::string> sql(const std::string& text) {
        DBHelper* helper = DB::helper();
        if (!helper->beginQuery(text)) {
            helper->endQuery();
            return std::nullopt;
        }
        return helper->executeString();
    }
    static int count(const std::string& table) {
        return std::stoi(sql("SELECT COUNT(*) FROM " + table).value());
    }

    static Vehicle newVehicle(const std::string& name, int odometer = 10000) {
        Vehicle vehicle;
        vehicle.name = name;
        vehicle.odometer = odometer;
        DB::saveVehicle(vehicle);
        return vehicle;
    }

    TemporarySandbox m_sandbox;
};

} // namespace vantrel::test
