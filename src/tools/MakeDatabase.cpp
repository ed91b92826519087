// vantrel-makedb SCHEMA VERSION OUTPUT
// Creates the database shipped in the bundle: runs the schema script on a new file, stores
// VERSION as 'Schema Version' and moves the result to OUTPUT in one step.

#include <cstdio>
#include <fstream>
#include <sqlite3.h>
#include <sstream>
#include <string>

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-makedb: %s\n", message.c_str());
    return 1;
}

bool execute(sqlite3* database, const std::string& sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(database, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    error = message ? message : "unknown error";
    sqlite3_free(message);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4)
        return fail("usage: vantrel-makedb SCHEMA VERSION OUTPUT");
    const std::string schemaPath = argv[1];
    const std::string version = argv[2];
    const std::string output = argv[3];

    std::ifstream schemaFile(schemaPath, std::ios::binary);
    if (!schemaFile)
        return fail("cannot read " + schemaPath);
    std::stringstream schema;
    schema << schemaFile.rdbuf();

    const std::string temporary = output + ".tmp";
    std::remove(temporary.c_str());
    sqlite3* database = nullptr;
    if (sqlite3_open(temporary.c_str(), &database) != SQLITE_OK) {
        sqlite3_close(database);
        return fail("cannot create " + temporary);
    }
    std::string error;
    bool built = execute(database, "BEGIN", error) && execute(database, schema.str(), error);
    if (built) {
        sqlite3_stmt* statement = nullptr;
        built = sqlite3_prepare_v2(database,
                    "INSERT OR REPLACE INTO SystemData (Key, Value) VALUES ('Schema Version', ?1)", -1,
                    &statement, nullptr)
            == SQLITE_OK;
        built = built && sqlite3_bind_text(statement, 1, version.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK
            && sqlite3_step(statement) == SQLITE_DONE;
        if (!built)
            error = sqlite3_errmsg(database);
        sqlite3_finalize(statement);
    }
    built = built && execute(database, "COMMIT", error);
    sqlite3_close(database);
    if (!built) {
        std::remove(temporary.c_str());
        return fail(schemaPath + ": " + error);
    }
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::remove(temporary.c_str());
        return fail("cannot write " + output);
    }
    return 0;
}
