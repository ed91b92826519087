#include "QLCoreLibrary/DatabaseFileCheck.h"

#include <optional>
#include <sqlite3.h>

#include "QLCoreLibrary/DBHelper.h"
#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"

namespace {

bool isDamageCode(int code) {
    code &= 0xFF;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB || code == SQLITE_FORMAT;
}

// Steps the statement once; `text` gets column 0 of the row, none without one. The step's
// result code, or the preparation's when that failed.
int firstText(sqlite3* database, const char* sql, std::optional<std::string>& text) {
    text.reset();
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(database, sql, -1, &statement, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_step(statement);
    if (code == SQLITE_ROW) {
        const unsigned char* value = sqlite3_column_text(statement, 0);
        text = value ? reinterpret_cast<const char*>(value) : "";
    }
    sqlite3_finalize(statement);
    return code;
}

} // namespace

DatabaseFileCheck::Result DatabaseFileCheck::checkFile(const std::string& path, bool thorough) {
    if (platform::fs::isDirectory(path))
        return Result::Damaged;
    if (!platform::fs::fileExists(path))
        return Result::Missing;
    sqlite3* database = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE, nullptr);
    Result result = opened == SQLITE_OK ? checkConnection(database, thorough)
        : isDamageCode(opened)          ? Result::Damaged
                                        : Result::CannotOpen;
    sqlite3_close(database);
    return result;
}

DatabaseFileCheck::Result DatabaseFileCheck::checkConnection(sqlite3* database, bool thorough) {
    if (!database)
        return Result::CannotOpen;
    std::optional<std::string> verdict;
    int code = firstText(database, thorough ? "PRAGMA integrity_check(1)" : "PRAGMA quick_check(1)", verdict);
    if (code != SQLITE_ROW)
        return isDamageCode(code) ? Result::Damaged : Result::CannotOpen;
    if (verdict != "ok")
        return Result::Damaged;

    // An empty file opens as an empty database: without the schema marker it holds no data
    // of ours. A marker table without a version row is an old database the updates handle.
    std::optional<std::string> version;
    code = firstText(
        database, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'SystemData'", version);
    if (code == SQLITE_ROW && version == "1")
        code = firstText(database, "SELECT [Value] FROM SystemData WHERE [Key] = 'Schema Version'", version);
    else if (code == SQLITE_ROW)
        return Result::Damaged;
    if (code == SQLITE_ROW || code == SQLITE_DONE) {
        if (version && DBHelper::compareVersions(*version, platform::Bundle::mainBundle().version()) > 0)
            return Result::NewerSchema;
        return Result::Usable;
    }
    return isDamageCode(code) ? Result::Damaged : Result::CannotOpen;
}
