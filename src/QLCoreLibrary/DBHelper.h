#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A small engine over one SQLite connection: finds (and on first launch creates) the database
// file in the documents folder, brings its schema up to date with the shipped update scripts,
// and runs the named queries of the query file ("Default.sql" in the bundle) with named
// parameters.
//
// One engine holds at most one current statement and one current batch; every query is
// begun, given its parameters, read or executed and then ended (endQuery) before the next
// begins. Failures are silent: a failed begin, bind or step returns false, reads then yield
// no rows, and column reads give none / 0. lastError() tells what SQLite said.
//
// Not thread-safe; one thread at a time (the main thread in the application).
class DBHelper {
public:
    // Opens "<documents>/<name>". When no file exists there, the file of the same name in the
    // bundle's resource folder is copied first; if that copy fails the failure is reported
    // (see setFailureReporter) and no engine is returned. An existing file is never
    // replaced. Returns none when SQLite cannot open the file.
    static std::unique_ptr<DBHelper> initWithDatabaseNamed(const std::string& name);

    // Wraps an already open connection; the engine owns and closes it.
    explicit DBHelper(sqlite3* database);
    ~DBHelper();
    DBHelper(const DBHelper&) = delete;
    DBHelper& operator=(const DBHelper&) = delete;

    // The open connection; none after disconnect().
    sqlite3* database() const { return m_database; }

    // Runs the bundle's "dbupdate_VERSION.sql" scripts whose version is newer than the
    // 'Schema Version' row of SystemData, when the bundle's build version is newer than it.
    // Versions compare numerically component by component (1.10 is newer than 1.9); scripts
    // run in ascending version order, each in its own transaction, so a failing script leaves
    // the database as it was and the later scripts still run. Each script is expected to
    // store its own version; the engine writes none.
    void installUpdates();

    // Parses the bundle's "Default.sql": blocks opened by "--$Name" lines. A missing file
    // leaves the loaded queries as they were. A block with an empty name is ignored; a later
    // block of the same name replaces an earlier one.
    void loadQueries();
    // The named queries; loads them on first use.
    const std::map<std::string, std::string>& queries();
    // Parses query-file text into its named blocks (exposed for tests).
    static std::map<std::string, std::string> parseQueries(const std::string& text);

    // Statement mode: prepares the first statement of the text. False when SQLite rejects it
    // or the text holds no statement.
    bool beginQuery(const std::string& sql);
    bool beginResourceQuery(const std::string& name);

    // Batch mode: the text becomes the current batch (none clears it); parameters are then
    // substituted into the text as SQL literals. Always true.
    bool beginQueryBatch(const std::optional<std::string>& sql);
    // False when no query of that name is loaded.
    bool beginResourceQueryBatch(const std::string& name);

    // Parameters. With a batch pending, every occurrence of the name outside quoted text and
    // comments that is not followed by a letter, digit or underscore is replaced, ignoring
    // letter case; true when at least one was. Otherwise the name is bound exactly as given
    // on the current statement; false when the statement has no such parameter.
    bool setString(const std::optional<std::string>& value, const std::string& parameter);
    bool setInteger(std::int32_t value, const std::string& parameter);
    bool setDouble(double value, const std::string& parameter);
    bool setNullForParameter(const std::string& parameter);

    // Advances the current statement; true exactly when a row is available.
    bool read();
    // Columns of the current row, counted from 0. Null, a column out of range or no row give
    // none / 0 / false.
    std::optional<std::string> stringValueForColumn(int column) const;
    std::int32_t intValueForColumn(int column) const;
    double doubleValueForColumn(int column) const;
    bool boolValueForColumn(int column) const;
    bool isNullColumn(int column) const;

    // Batch pending: runs the whole batch atomically (all its statements or none). Otherwise
    // steps the statement once and resets it, bindings cleared, for another execution. True
    // on success.
    bool executeNonQuery();
    // Read one row and take column 0, then end the query in every case.
    std::optional<std::string> executeString();
    double executeDouble();
    std::int32_t executeInt();

    // Clears the batch and finalizes the statement.
    void endQuery();

    std::int32_t lastRowID() const;
    // Rows changed by the most recent insert, update or delete on the connection.
    int changes() const;
    int lastError() const;
    std::string lastErrorDescription() const;

    // Finalizes the statement and closes the connection.
    void disconnect();

    // -1, 0 or 1 as version a is older than, equal to or newer than version b. Components
    // are compared as numbers; missing components count as 0; a component's non-digit tail
    // is ignored.
    static int compareVersions(const std::string& a, const std::string& b);

    // Where opening failures are reported; by default standard error. Tests capture it.
    using FailureReporter = std::function<void(const std::string& message)>;
    static void setFailureReporter(FailureReporter reporter);

private:
    bool substitute(const std::string& parameter, const std::string& literal);
    int bindIndex(const std::string& parameter) const;

    sqlite3* m_database {nullptr};
    sqlite3_stmt* m_statement {nullptr};
    std::optional<std::string> m_queryBatch;
    std::map<std::string, std::string> m_queries;
    bool m_queriesLoaded {false};
    // The error of the last failed batch, which its rollback would otherwise clear.
    std::optional<std::pair<int, std::string>> m_batchError;
};
