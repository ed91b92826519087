#include <gtest/gtest.h>

#include <sqlite3.h>

#include "QLCoreLibrary/DBHelper.h"
#include "data/DBTestSupport.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "support/TemporarySandbox.h"

namespace fs = platform::fs;
using vantrel::test::BundleOverride;
using vantrel::test::TemporarySandbox;

namespace {

std::unique_ptr<DBHelper> memoryEngine() {
    sqlite3* database = nullptr;
    sqlite3_open(":memory:", &database);
    auto helper = std::make_unique<DBHelper>(database);
    helper->beginQueryBatch("CREATE TABLE T (ID INTEGER PRIMARY KEY, Name TEXT, Amount REAL, Flag INTEGER);");
    helper->executeNonQuery();
    helper->endQuery();
    return helper;
}

} // namespace

TEST(DBHelperQueries, ParsesNamedBlocks) {
    auto queries = DBHelper::parseQueries("ignored preface\n"
                                          "--$AllMakes\nSELECT Make FROM Vehicle;\n\n"
                                          "--$ Spaced\n  SELECT 2;\n"
                                          "--$Trailing text on the marker line\nSELECT 3;"
                                          "--$AllMakes\nSELECT 'replaced';\n"
                                          "--$\n"
                                          "--$Empty\n");
    EXPECT_EQ(queries.at("AllMakes"), "SELECT 'replaced';\n");
    EXPECT_EQ(queries.at("Spaced"), "SELECT 2;\n");
    EXPECT_EQ(queries.at("Trailing"), "text on the marker line\nSELECT 3;");
    EXPECT_EQ(queries.at("Empty"), "");
    EXPECT_EQ(queries.size(), 4u) << "a block without a name is dropped";
}

TEST(DBHelperStatements, BindsByExactNameAndReadsColumns) {
    auto helper = memoryEngine();
    ASSERT_TRUE(helper->beginQuery("INSERT INTO T (Name, Amount, Flag) VALUES (@Name, @Amount, @Flag)"));
    EXPECT_TRUE(helper->setString("O'Brien", "@Name"));
    EXPECT_TRUE(helper->setDouble(2.5, "@Amount"));
    EXPECT_TRUE(helper->setInteger(256, "@Flag"));
    EXPECT_FALSE(helper->setInteger(1, "@Missing"));
    EXPECT_FALSE(helper->setInteger(1, "@name")) << "statement names are exact";
    EXPECT_TRUE(helper->executeNonQuery());
    EXPECT_EQ(helper->lastRowID(), 1);
    // The statement was reset with its bindings cleared: a second run stores nulls.
    EXPECT_TRUE(helper->setString(std::nullopt, "@Name"));
    EXPECT_TRUE(helper->executeNonQuery());
    EXPECT_EQ(helper->lastRowID(), 2);
    helper->endQuery();

    ASSERT_TRUE(helper->beginQuery("SELECT Name, Amount, Flag FROM T ORDER BY ID"));
    ASSERT_TRUE(helper->read());
    EXPECT_EQ(helper->stringValueForColumn(0), "O'Brien");
    EXPECT_DOUBLE_EQ(helper->doubleValueForColumn(1), 2.5);
    EXPECT_EQ(helper->intValueForColumn(2), 256);
    EXPECT_FALSE(helper->boolValueForColumn(2)) << "256 has its low 8 bits clear";
    EXPECT_EQ(helper->stringValueForColumn(7), std::nullopt) << "out of range";
    ASSERT_TRUE(helper->read());
    EXPECT_EQ(helper->stringValueForColumn(0), std::nullopt);
    EXPECT_EQ(helper->intValueForColumn(2), 0);
    EXPECT_FALSE(helper->read());
    helper->endQuery();
    EXPECT_EQ(helper->intValueForColumn(0), 0) << "no statement";
}

TEST(DBHelperStatements, ExecuteStringWithoutRowsEndsTheQuery) {
    auto helper = memoryEngine();
    ASSERT_TRUE(helper->beginQuery("SELECT Name FROM T WHERE ID = 99"));
    EXPECT_EQ(helper->executeString(), std::nullopt);
    EXPECT_FALSE(helper->read()) << "the statement is gone";
    EXPECT_FALSE(helper->beginQuery("SELEC nonsense"));
    EXPECT_NE(helper->lastError(), SQLITE_OK);
    EXPECT_FALSE(helper->lastErrorDescription().empty());
    EXPECT_FALSE(helper->beginQuery("-- only a comment"));
}

TEST(DBHelperBatch, SubstitutesWholeNamesIgnoringCase) {
    auto helper = memoryEngine();
    helper->beginQueryBatch(
        "INSERT INTO T (ID, Name, Flag) VALUES (@id, @Date || '|' || @DatePerformed, @ID);");
    EXPECT_TRUE(helper->setInteger(7, "@ID")) << "lower-case @id in the text is the same name";
    EXPECT_TRUE(helper->setString("day", "@Date"));
    EXPECT_TRUE(helper->setString("performed", "@DatePerformed"));
    EXPECT_FALSE(helper->setString("x", "@Missing"));
    EXPECT_TRUE(helper->executeNonQuery());
    helper->endQuery();
    helper->beginQuery("SELECT Name || '/' || Flag FROM T WHERE ID = 7");
    EXPECT_EQ(helper->executeString(), "day|performed/7") << "@Date must not rewrite @DatePerformed";
}

TEST(DBHelperBatch, QuotesTextsAndLeavesLiteralsAlone) {
    auto helper = memoryEngine();
    // A substituted text that itself holds a parameter name stays as typed.
    helper->beginQueryBatch("INSERT INTO T (ID, Name, Amount, Flag) VALUES (1, @Name, @Amount, @Flag);"
                            "INSERT INTO T (ID, Name) VALUES (2, '@Flag kept' /* @Flag */); -- @Flag\n"
                            "INSERT INTO T (ID, Name) VALUES (3, @Missing);");
    EXPECT_TRUE(helper->setString("O'Brien @Flag", "@Name"));
    EXPECT_TRUE(helper->setDouble(0.1234567891, "@Amount"));
    EXPECT_TRUE(helper->setNullForParameter("@Flag"));
    EXPECT_TRUE(helper->setString(std::nullopt, "@Missing"));
    EXPECT_TRUE(helper->executeNonQuery());
    helper->endQuery();
    helper->beginQuery("SELECT Name, Amount, Flag IS NULL FROM T WHERE ID = 1");
    ASSERT_TRUE(helper->read());
    EXPECT_EQ(helper->stringValueForColumn(0), "O'Brien @Flag");
    EXPECT_DOUBLE_EQ(helper->doubleValueForColumn(1), 0.1234567891) << "doubles keep full precision";
    EXPECT_TRUE(helper->boolValueForColumn(2));
    helper->endQuery();
    helper->beginQuery("SELECT Name FROM T WHERE ID = 2");
    EXPECT_EQ(helper->executeString(), "@Flag kept");
    helper->beginQuery("SELECT Name IS NULL FROM T WHERE ID = 3");
    EXPECT_EQ(helper->executeInt(), 1);
}

TEST(DBHelperBatch, RunsAllOrNothing) {
    auto helper = memoryEngine();
    helper->beginQueryBatch("INSERT INTO T (ID) VALUES (1); INSERT INTO T (ID) VALUES (1);");
    EXPECT_FALSE(helper->executeNonQuery());
    EXPECT_EQ(helper->lastError(), SQLITE_CONSTRAINT);
    helper->endQuery();
    helper->beginQuery("SELECT COUNT(*) FROM T");
    EXPECT_EQ(helper->executeInt(), 0) << "the first insert was rolled back with the failing one";
}

TEST(DBHelperVersions, CompareNumericallyByComponent) {
    EXPECT_EQ(DBHelper::compareVersions("1.10", "1.9"), 1);
    EXPECT_EQ(DBHelper::compareVersions("1.9", "1.10"), -1);
    EXPECT_EQ(DBHelper::compareVersions("1.2", "1.2.0"), 0);
    EXPECT_EQ(DBHelper::compareVersions("2", "1.99"), 1);
    EXPECT_EQ(DBHelper::compareVersions("1.2b", "1.2"), 0);
    EXPECT_EQ(DBHelper::compareVersions("", "0"), 0);
}

namespace {

// A bundle folder holding only the given update scripts (name -> text).
class UpdateBundle {
public:
    explicit UpdateBundle(std::initializer_list<std::pair<std::string, std::string>> scripts)
        : m_path(fs::makeTemporaryDirectory("vantrel-bundle")) {
        for (const auto& [name, text] : scripts)
            fs::writeFileAtomically(fs::joinPath(m_path, name), text);
    }
    ~UpdateBundle() { fs::removeItem(m_path); }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::unique_ptr<DBHelper> engineAtVersion(const std::string& version) {
    auto helper = memoryEngine();
    helper->beginQueryBatch("CREATE TABLE SystemData (Key TEXT PRIMARY KEY, Value TEXT);"
                            "CREATE TABLE Log (Entry TEXT);"
                            "INSERT INTO SystemData VALUES ('Schema Version', @Version);");
    helper->setString(version, "@Version");
    helper->executeNonQuery();
    helper->endQuery();
    return helper;
}

std::string logOf(DBHelper& helper) {
    helper.beginQuery(
        "SELECT IFNULL(GROUP_CONCAT(Entry, ' '), '') FROM (SELECT Entry FROM Log ORDER BY rowid)");
    return helper.executeString().value_or("");
}

std::string schemaVersionOf(DBHelper& helper) {
    helper.beginQuery("SELECT Value FROM SystemData WHERE Key = 'Schema Version'");
    return helper.executeString().value_or("");
}

std::string logScript(const std::string& version) {
    return "INSERT INTO Log VALUES ('" + version + "');" + "UPDATE SystemData SET Value = '" + version
        + "' WHERE Key = 'Schema Version';";
}

} // namespace

TEST(DBHelperUpdates, RunNewerScriptsInAscendingVersionOrder) {
    UpdateBundle scripts({{"dbupdate_1.10.sql", logScript("1.10")}, {"dbupdate_1.9.sql", logScript("1.9")},
        {"dbupdate_1.2.sql", logScript("1.2")}, {"dbupdate_1.1.sql", logScript("1.1")},
        {"dbupdate.sql", logScript("none")}, {"DBUPDATE_1.5.sql", logScript("upper")},
        {"dbupdate_1.6.txt", logScript("text")}});
    BundleOverride bundle(scripts.path(), "1.10");
    auto helper = engineAtVersion("1.1");
    helper->installUpdates();
    EXPECT_EQ(logOf(*helper), "1.2 1.9 1.10");
    EXPECT_EQ(schemaVersionOf(*helper), "1.10");
    helper->installUpdates();
    EXPECT_EQ(logOf(*helper), "1.2 1.9 1.10") << "nothing runs twice";
}

TEST(DBHelperUpdates, AFailingScriptIsRolledBackAndLaterOnesStillRun) {
    UpdateBundle scripts(
        {{"dbupdate_1.1.sql", "INSERT INTO Log VALUES ('half'); INSERT INTO Missing VALUES (1);"},
            {"dbupdate_1.2.sql", logScript("1.2")}});
    BundleOverride bundle(scripts.path(), "1.2");
    auto helper = engineAtVersion("1.0");
    helper->installUpdates();
    EXPECT_EQ(logOf(*helper), "1.2");
}

TEST(DBHelperUpdates, ADatabaseWithoutSystemDataIsLeftAlone) {
    UpdateBundle scripts({{"dbupdate_1.1.sql", "CREATE TABLE Touched (A);"}});
    BundleOverride bundle(scripts.path(), "1.1");
    auto helper = memoryEngine();
    helper->installUpdates();
    helper->beginQuery("SELECT COUNT(*) FROM sqlite_master WHERE name = 'Touched'");
    EXPECT_EQ(helper->executeInt(), 0);
}

TEST(DBHelperOpening, ReportsAFailedCopyAndGivesNoEngine) {
    TemporarySandbox sandbox;
    std::string message;
    DBHelper::setFailureReporter([&](const std::string& text) { message = text; });
    auto helper = DBHelper::initWithDatabaseNamed("absent.db");
    DBHelper::setFailureReporter(nullptr);
    EXPECT_EQ(helper, nullptr);
    EXPECT_EQ(message.rfind("Failed to create writable database file with message '", 0), 0u) << message;
    EXPECT_FALSE(fs::fileExists(fs::joinPath(platform::Sandbox::documentsDirectory(), "absent.db")));
}
