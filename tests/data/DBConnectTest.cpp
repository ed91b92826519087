#include "data/DBTestSupport.h"

#include <sqlite3.h>

#include "model/Units.h"
#include "platform/base/Sandbox.h"
#include "support/DataFiles.h"

namespace fs = platform::fs;
using namespace vantrel::test;

namespace {

std::string documentsPath(const std::string& name) {
    return fs::joinPath(platform::Sandbox::documentsDirectory(), name);
}

// Creates a database file from an SQL script, outside the engine.
void createDatabase(const std::string& path, const std::string& script) {
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &database), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(database, script.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(database);
    sqlite3_close(database);
}

std::string legacyScript() {
    return fs::readFile(std::string(VANTREL_SOURCE_DIR) + "/tests/data/schema-1.0.sql").value();
}

// Every table, index, view and trigger with its columns, as comparable text.
std::string schemaDescription() {
    DBHelper* helper = DB::helper();
    std::string description;
    std::vector<std::pair<std::string, std::string>> objects;
    helper->beginQuery(
        "SELECT type, name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY type, name");
    while (helper->read())
        objects.emplace_back(*helper->stringValueForColumn(0), *helper->stringValueForColumn(1));
    helper->endQuery();
    for (const auto& [type, name] : objects) {
        description += type + " " + name + ":";
        std::string pragma
            = type == "index" ? "PRAGMA index_info('" + name + "')" : "PRAGMA table_info('" + name + "')";
        if (type != "trigger" && helper->beginQuery(pragma)) {
            while (helper->read()) {
                for (int column = 1; column < 6; ++column)
                    description += " " + helper->stringValueForColumn(column).value_or("null");
                description += ";";
            }
        }
        helper->endQuery();
        description += "\n";
    }
    return description;
}

} // namespace

TEST(DBConnect, FirstLaunchCopiesTheShippedDatabaseAtTheBuildVersion) {
    TemporarySandbox sandbox;
    EXPECT_FALSE(fs::fileExists(documentsPath("vantrel.db")));
    DB::connect();
    ASSERT_NE(DB::helper(), nullptr);
    EXPECT_TRUE(fs::fileExists(documentsPath("vantrel.db")));
    DB::helper()->beginQuery("SELECT Value FROM SystemData WHERE Key = 'Schema Version'");
    EXPECT_EQ(DB::helper()->executeString(), platform::Bundle::mainBundle().version());
    EXPECT_EQ(DB::helper()->queries().size(), 48u);
    EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty());
    DB::disconnect();
    EXPECT_EQ(DB::helper(), nullptr);
    EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty()) << "no engine: empty, no crash";
}

TEST(DBConnect, ReconnectKeepsTheUsersData) {
    TemporarySandbox sandbox;
    DB::connect();
    Vehicle car;
    car.name = "Mine";
    DB::saveVehicle(car);
    DB::disconnect();
    DB::connect();
    EXPECT_EQ(DB::getVehicleWithID(car.vid).name, "Mine");
    DB::disconnect();
}

TEST(DBConnect, LegacyDatabaseReplacesTheCurrentOneAndIsUpgraded) {
    TemporarySandbox sandbox;
    DB::connect();
    Vehicle current;
    current.name = "Current";
    DB::saveVehicle(current);
    DB::disconnect();

    createDatabase(documentsPath("dovrin.sqlite"), legacyScript());
    DB::connect();
    ASSERT_NE(DB::helper(), nullptr);
    EXPECT_FALSE(fs::fileExists(documentsPath("dovrin.sqlite")));
    auto vehicles = DB::vehiclesWithServiceDueInDays(14, 500);
    ASSERT_EQ(vehicles.size(), 2u);
    EXPECT_EQ(vehicles[0].name, "Daily");
    EXPECT_EQ(vehicles[1].name, "Truck");
    DB::helper()->beginQuery("SELECT Value FROM SystemData WHERE Key = 'Schema Version'");
    EXPECT_EQ(DB::helper()->executeString(), "1.2");
    DB::disconnect();
}

TEST(DBConnect, UpdateScriptsBringA10DatabaseToTheShippedSchema) {
    TemporarySandbox sandbox;
    DB::connect();
    std::string fresh = schemaDescription();
    DB::disconnect();
    fs::removeItem(documentsPath("vantrel.db"));

    createDatabase(documentsPath("vantrel.db"), legacyScript());
    DB::connect();
    EXPECT_EQ(schemaDescription(), fresh);

    // The data came through: types default to Full, the list keeps the creation order, the
    // rows of the vehicle deleted before are gone, and the due values are computed.
    Vehicle daily = DB::getVehicleWithID(1);
    platform::Clock::setNow(localDate(2024, 6, 15, 12));
    auto fillups = DB::fillupsForVehicle(daily, kFuelUSGallon, kDistanceMiles, 6);
    ASSERT_EQ(fillups.size(), 2u);
    EXPECT_EQ(fillups[0].type, kFillupFull);
    EXPECT_EQ(fillups[0].distance, 300);
    auto services = DB::serviceSummaryForVehicle(1);
    ASSERT_EQ(services.size(), 1u);
    EXPECT_EQ(services[0].dueMiles, 63000);
    EXPECT_EQ(services[0].dueDate, localDate(2024, 7, 10));
    DB::helper()->beginQuery("SELECT (SELECT COUNT(*) FROM Fillup WHERE VehicleID = 3)"
                             " + (SELECT COUNT(*) FROM VehicleService WHERE VehicleID = 3)"
                             " + (SELECT COUNT(*) FROM Service WHERE ServiceID = 3)");
    EXPECT_EQ(DB::helper()->executeInt(), 0);
    DB::disconnect();
}

TEST(DBConnect, ADamagedDatabaseIsKeptAsideAndTheShippedOneTakesItsPlace) {
    TemporarySandbox sandbox;
    const std::string path = documentsPath("vantrel.db");
    const std::string shipped = vantrel::test::shippedDatabaseBytes();
    std::string scribbled = vantrel::test::databaseBytesAfter("INSERT INTO Vehicle (Name) VALUES ('Mine')");
    for (size_t i = 1024; i < scribbled.size(); i += 5)
        scribbled[i] = static_cast<char>(i);
    const std::pair<const char*, std::string> cases[] = {
        {"not SQLite", "this is not a database, but it is the user's file"},
        {"empty", ""},
        {"truncated", shipped.substr(0, shipped.size() / 3)},
        {"scribbled", scribbled},
        {"a directory", ""},
    };
    platform::Clock::setNow(localDate(2024, 3, 9, 14));
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        if (std::string(name) == "a directory")
            fs::createDirectories(path);
        else
            fs::writeFileAtomically(path, bytes);
        DB::connect();
        ASSERT_NE(DB::helper(), nullptr);
        auto aside = DB::takeDamagedDatabaseKeptAside();
        ASSERT_TRUE(aside);
        EXPECT_TRUE(fs::lastPathComponent(*aside).starts_with("vantrel.damaged-2024-03-09-14"));
        if (!fs::isDirectory(*aside)) {
            EXPECT_EQ(fs::readFile(*aside), bytes);
        }
        EXPECT_FALSE(DB::takeDamagedDatabaseKeptAside()) << "told once";
        Vehicle car;
        car.name = "Fresh start";
        EXPECT_TRUE(DB::saveVehicle(car));
        DB::disconnect();
        fs::removeItem(*aside);
        fs::removeItem(path);
    }

    // A sound database is never moved, not even one the engine cannot write to.
    DB::connect();
    DB::disconnect();
    DB::connect();
    EXPECT_FALSE(DB::damagedDatabaseKeptAside());
    DB::disconnect();
}

TEST(DBConnect, SavesOnAReadOnlyDataFolderReportFailure) {
    TemporarySandbox sandbox;
    DB::connect();
    Vehicle car;
    car.name = "Stored";
    ASSERT_TRUE(DB::saveVehicle(car));
    Fillup fillup;
    fillup.vehicleID = car.vid;
    fillup.odometer = 100;
    ASSERT_TRUE(DB::saveFillup(fillup, true));
    // What a read-only folder or a full disk does to every write, also for root: SQLite
    // refuses it.
    ASSERT_EQ(sqlite3_exec(DB::helper()->database(), "PRAGMA query_only = 1", nullptr, nullptr, nullptr),
        SQLITE_OK);

    Vehicle added;
    added.name = "Lost";
    EXPECT_FALSE(DB::saveVehicle(added));
    EXPECT_EQ(added.vid, 0);
    car.name = "Renamed";
    EXPECT_FALSE(DB::saveVehicle(car));
    Service oil;
    oil.name = "Oil";
    oil.vehicleID = car.vid;
    EXPECT_FALSE(DB::saveService(oil));
    Service performed = DB::serviceSummaryForVehicle(car.vid).at(0);
    EXPECT_FALSE(DB::saveVehicleService(performed, false));
    Repair repair;
    repair.vehicleID = car.vid;
    EXPECT_FALSE(DB::saveRepair(repair, false));
    fillup.odometer = 200;
    EXPECT_FALSE(DB::saveFillup(fillup, false));
    Fillup another = fillup;
    another.fillupID = 0;
    EXPECT_FALSE(DB::saveFillup(another, false));
    EXPECT_FALSE(DB::updateVehicleRowOrders({car}));
    EXPECT_FALSE(DB::deleteFillup(fillup));
    EXPECT_FALSE(DB::deleteVehicle(car.vid));
    EXPECT_EQ(DB::getVehicleWithID(car.vid).name, "Stored");
    DB::disconnect();
}

TEST(DBConnect, AMissingQueryFileLeavesEveryOperationEmpty) {
    TemporarySandbox sandbox;
    std::string resources = fs::makeTemporaryDirectory("vantrel-bundle");
    fs::copyItem(fs::joinPath(platform::Bundle::mainBundle().resourcePath(), "vantrel.db"),
        fs::joinPath(resources, "vantrel.db"));
    {
        BundleOverride bundle(resources, platform::Bundle::mainBundle().version());
        DB::connect();
        ASSERT_NE(DB::helper(), nullptr);
        Vehicle car;
        car.name = "Nowhere";
        EXPECT_FALSE(DB::saveVehicle(car));
        EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty());
        EXPECT_EQ(DB::getVehicleWithID(1).vid, 0);
        DB::disconnect();
    }
    fs::removeItem(resources);
}
