#include "data/DBTestSupport.h"

#include <sqlite3.h>

#include "model/Units.h"
#include "platform/base/Sandbox.h"

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
    EXPECT_EQ(DB::helper()->queries().size(), 44u);
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

TEST(DBConnect, AFileThatIsNotSQLiteIsNeitherReadNorOverwritten) {
    TemporarySandbox sandbox;
    std::string path = documentsPath("vantrel.db");
    fs::writeFileAtomically(path, "this is not a database, but it is the user's file");
    DB::connect();
    EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty());
    Vehicle car;
    car.name = "Lost";
    EXPECT_EQ(DB::saveVehicle(car), 0);
    EXPECT_EQ(DB::dueServiceCount(14, 500), 0);
    DB::deleteVehicle(1);
    DB::disconnect();
    EXPECT_EQ(fs::readFile(path), "this is not a database, but it is the user's file");
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
        EXPECT_EQ(DB::saveVehicle(car), 0);
        EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty());
        EXPECT_EQ(DB::getVehicleWithID(1).vid, 0);
        DB::disconnect();
    }
    fs::removeItem(resources);
}
