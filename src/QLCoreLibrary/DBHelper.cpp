#include "QLCoreLibrary/DBHelper.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>

#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"

namespace {

DBHelper::FailureReporter& failureReporter() {
    static DBHelper::FailureReporter reporter = [](const std::string& message) {
        std::fprintf(stderr, "QLCoreLibrary/DBHelper:40: %s\n", message.c_str());
    };
    return reporter;
}

bool isIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool matchesIgnoringCase(const std::string& text, size_t at, const std::string& word) {
    if (at + word.size() > text.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (asciiLower(text[at + i]) != asciiLower(word[i]))
            return false;
    }
    return true;
}

// Index just past a quoted run or comment starting at `at`, or `at` when none starts there.
size_t skipQuotedOrComment(const std::string& text, size_t at) {
    char c = text[at];
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
        char close = c == '[' ? ']' : c;
        size_t i = at + 1;
        while (i < text.size()) {
            if (text[i] == close) {
                // A doubled quote is an escaped quote inside the run.
                if (close != ']' && i + 1 < text.size() && text[i + 1] == close) {
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            ++i;
        }
        return text.size();
    }
    if (c == '-' && at + 1 < text.size() && text[at + 1] == '-') {
        size_t end = text.find('\n', at);
        return end == std::string::npos ? text.size() : end;
    }
    if (c == '/' && at + 1 < text.size() && text[at + 1] == '*') {
        size_t end = text.find("*/", at + 2);
        return end == std::string::npos ? text.size() : end + 2;
    }
    return at;
}

std::string quotedLiteral(const std::string& value) {
    std::string literal = "'";
    for (char c : value) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    literal += '\'';
    return literal;
}

// Shortest text that reads back as the same double, always with a decimal point or exponent
// so that SQLite takes it as a real.
std::string doubleLiteral(double value) {
    if (!std::isfinite(value))
        return "null";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".eE") == std::string::npos)
        text += ".0";
    return text;
}

bool matchesUpdateScriptPattern(const std::string& name) {
    const std::string prefix = "dbupdate";
    const std::string suffix = ".sql";
    return name.size() >= prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0
        && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

void DBHelper::setFailureReporter(FailureReporter reporter) {
    failureReporter() = reporter ? std::move(reporter) : [](const std::string& message) {
        std::fprintf(stderr, "QLCoreLibrary/DBHelper:40: %s\n", message.c_str());
    };
}

std::unique_ptr<DBHelper> DBHelper::initWithDatabaseNamed(const std::string& name) {
    namespace fs = platform::fs;
    std::string path = fs::joinPath(platform::Sandbox::documentsDirectory(), name);
    if (!fs::fileExists(path)) {
        std::string error;
        std::string shipped = fs::joinPath(platform::Bundle::mainBundle().resourcePath(), name);
        if (!fs::copyItem(shipped, path, &error)) {
            if (error.empty())
                error = "The file " + name + " could not be copied.";
            failureReporter()("Failed to create writable database file with message '" + error + "'.");
            return nullptr;
        }
    }
    sqlite3* database = nullptr;
    if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(database);
        return nullptr;
    }
    return std::make_unique<DBHelper>(database);
}

DBHelper::DBHelper(sqlite3* database)
    : m_database(database) { }

DBHelper::~DBHelper() {
    disconnect();
}

void DBHelper::installUpdates() {
    const std::string applicationVersion = platform::Bundle::mainBundle().version();
    if (!beginQuery("SELECT [Value] FROM SystemData WHERE [Key] = 'Schema Version'")) {
        endQuery();
        return;
    }
    // A database without a version row takes every script; each one that does not fit
    // rolls back on its own.
    const std::string schemaVersion = executeString().value_or("0");
    if (compareVersions(applicationVersion, schemaVersion) <= 0)
        return;

    struct Script {
        std::string version;
        std::string name;
    };
    std::vector<Script> scripts;
    for (const std::string& name : platform::Bundle::mainBundle().resourceFileNames()) {
        if (!matchesUpdateScriptPattern(name))
            continue;
        std::string stem = platform::fs::deletingPathExtension(name);
        size_t first = stem.find('_');
        if (first == std::string::npos)
            continue;
        size_t second = stem.find('_', first + 1);
        std::string version
            = stem.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
        if (compareVersions(version, schemaVersion) > 0)
            scripts.push_back({version, name});
    }
    std::stable_sort(scripts.begin(), scripts.end(), [](const Script& a, const Script& b) {
        int order = compareVersions(a.version, b.version);
        return order != 0 ? order < 0 : a.name < b.name;
    });

    for (const Script& script : scripts) {
        auto text = platform::fs::readFile(
            platform::fs::joinPath(platform::Bundle::mainBundle().resourcePath(), script.name));
        if (!text)
            continue;
        beginQueryBatch(*text);
        executeNonQuery();
        endQuery();
    }
}

std::map<std::string, std::string> DBHelper::parseQueries(const std::string& text) {
    static const std::string marker = "--$";
    std::map<std::string, std::string> blocks;
    size_t position = text.find(marker);
    while (position != std::string::npos) {
        position += marker.size();
        while (position < text.size() && isSpace(text[position]))
            ++position;
        size_t nameEnd = position;
        while (nameEnd < text.size() && !isSpace(text[nameEnd])
            && text.compare(nameEnd, marker.size(), marker) != 0)
            ++nameEnd;
        std::string name = text.substr(position, nameEnd - position);
        size_t bodyStart = nameEnd;
        while (bodyStart < text.size() && isSpace(text[bodyStart]))
            ++bodyStart;
        size_t next = text.find(marker, bodyStart);
        size_t bodyEnd = next == std::string::npos ? text.size() : next;
        if (!name.empty())
            blocks[name] = text.substr(bodyStart, bodyEnd - bodyStart);
        position = next;
    }
    return blocks;
}

void DBHelper::loadQueries() {
    auto path = platform::Bundle::mainBundle().pathForResource("Default", "sql");
    if (!path)
        return;
    auto text = platform::fs::readFile(*path);
    if (!text)
        return;
    m_queries = parseQueries(*text);
    m_queriesLoaded = true;
}

const std::map<std::string, std::string>& DBHelper::queries() {
    if (!m_queriesLoaded)
        loadQueries();
    return m_queries;
}

bool DBHelper::beginQuery(const std::string& sql) {
    m_batchError.reset();
    if (m_statement) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
    if (!m_database)
        return false;
    int result
        = sqlite3_prepare_v2(m_database, sql.c_str(), static_cast<int>(sql.size()), &m_statement, nullptr);
    return result == SQLITE_OK && m_statement != nullptr;
}

bool DBHelper::beginResourceQuery(const std::string& name) {
    const auto& all = queries();
    auto found = all.find(name);
    if (found == all.end()) {
        if (m_statement) {
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
        }
        return false;
    }
    return beginQuery(found->second);
}

bool DBHelper::beginQueryBatch(const std::optional<std::string>& sql) {
    m_queryBatch = sql;
    return true;
}

bool DBHelper::beginResourceQueryBatch(const std::string& name) {
    const auto& all = queries();
    auto found = all.find(name);
    if (found == all.end()) {
        m_queryBatch.reset();
        return false;
    }
    return beginQueryBatch(found->second);
}

bool DBHelper::substitute(const std::string& parameter, const std::string& literal) {
    if (parameter.empty())
        return false;
    std::string& batch = *m_queryBatch;
    std::string result;
    result.reserve(batch.size());
    bool replaced = false;
    size_t i = 0;
    while (i < batch.size()) {
        size_t skipped = skipQuotedOrComment(batch, i);
        if (skipped != i) {
            result.append(batch, i, skipped - i);
            i = skipped;
            continue;
        }
        size_t end = i + parameter.size();
        if (matchesIgnoringCase(batch, i, parameter)
            && (end >= batch.size() || !isIdentifierChar(batch[end]))) {
            result += literal;
            i = end;
            replaced = true;
            continue;
        }
        result += batch[i++];
    }
    batch = std::move(result);
    return replaced;
}

int DBHelper::bindIndex(const std::string& parameter) const {
    if (!m_statement)
        return 0;
    return sqlite3_bind_parameter_index(m_statement, parameter.c_str());
}

bool DBHelper::setString(const std::optional<std::string>& value, const std::string& parameter) {
    if (m_queryBatch)
        return substitute(parameter, value ? quotedLiteral(*value) : "null");
    int index = bindIndex(parameter);
    if (index == 0)
        return false;
    if (!value)
        return sqlite3_bind_null(m_statement, index) == SQLITE_OK;
    return sqlite3_bind_text(
               m_statement, index, value->data(), static_cast<int>(value->size()), SQLITE_TRANSIENT)
        == SQLITE_OK;
}

bool DBHelper::setInteger(std::int32_t value, const std::string& parameter) {
    if (m_queryBatch)
        return substitute(parameter, std::to_string(value));
    int index = bindIndex(parameter);
    return index != 0 && sqlite3_bind_int(m_statement, index, value) == SQLITE_OK;
}

bool DBHelper::setDouble(double value, const std::string& parameter) {
    if (m_queryBatch)
        return substitute(parameter, doubleLiteral(value));
    int index = bindIndex(parameter);
    return index != 0 && sqlite3_bind_double(m_statement, index, value) == SQLITE_OK;
}

bool DBHelper::setNullForParameter(const std::string& parameter) {
    if (m_queryBatch)
        return substitute(parameter, "null");
    int index = bindIndex(parameter);
    return index != 0 && sqlite3_bind_null(m_statement, index) == SQLITE_OK;
}

bool DBHelper::read() {
    return m_statement && sqlite3_step(m_statement) == SQLITE_ROW;
}

bool DBHelper::isNullColumn(int column) const {
    return !m_statement || column < 0 || column >= sqlite3_data_count(m_statement)
        || sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::optional<std::string> DBHelper::stringValueForColumn(int column) const {
    if (isNullColumn(column))
        return std::nullopt;
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (!text)
        return std::nullopt;
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_statement, column)));
}

std::int32_t DBHelper::intValueForColumn(int column) const {
    if (isNullColumn(column))
        return 0;
    return sqlite3_column_int(m_statement, column);
}

double DBHelper::doubleValueForColumn(int column) const {
    if (isNullColumn(column))
        return 0;
    return sqlite3_column_double(m_statement, column);
}

bool DBHelper::boolValueForColumn(int column) const {
    return (intValueForColumn(column) & 0xff) != 0;
}

bool DBHelper::executeNonQuery() {
    m_batchError.reset();
    if (m_queryBatch) {
        if (!m_database)
            return false;
        // A savepoint makes the batch all-or-nothing: a half-run delete or update script
        // would leave the data inconsistent.
        if (sqlite3_exec(m_database, "SAVEPOINT batch", nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        bool succeeded
            = sqlite3_exec(m_database, m_queryBatch->c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
        if (succeeded)
            succeeded = sqlite3_exec(m_database, "RELEASE batch", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!succeeded) {
            // The rollback would clear the batch's error; keep it for lastError.
            m_batchError = {sqlite3_errcode(m_database), sqlite3_errmsg(m_database)};
            if (!sqlite3_get_autocommit(m_database)) {
                sqlite3_exec(m_database, "ROLLBACK TO batch", nullptr, nullptr, nullptr);
                sqlite3_exec(m_database, "RELEASE batch", nullptr, nullptr, nullptr);
            }
        }
        return succeeded;
    }
    if (!m_statement)
        return false;
    int result = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    return result == SQLITE_DONE;
}

std::optional<std::string> DBHelper::executeString() {
    std::optional<std::string> value;
    if (read())
        value = stringValueForColumn(0);
    endQuery();
    return value;
}

double DBHelper::executeDouble() {
    double value = read() ? doubleValueForColumn(0) : 0.0;
    endQuery();
    return value;
}

std::int32_t DBHelper::executeInt() {
    std::int32_t value = read() ? intValueForColumn(0) : 0;
    endQuery();
    return value;
}

void DBHelper::endQuery() {
    m_queryBatch.reset();
    if (m_statement) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

std::int32_t DBHelper::lastRowID() const {
    return m_database ? static_cast<std::int32_t>(sqlite3_last_insert_rowid(m_database)) : 0;
}

int DBHelper::changes() const {
    return m_database ? sqlite3_changes(m_database) : 0;
}

int DBHelper::lastError() const {
    if (m_batchError)
        return m_batchError->first;
    return m_database ? sqlite3_errcode(m_database) : SQLITE_MISUSE;
}

std::string DBHelper::lastErrorDescription() const {
    if (m_batchError)
        return m_batchError->second;
    return m_database ? sqlite3_errmsg(m_database) : "not connected";
}

void DBHelper::disconnect() {
    endQuery();
    if (m_database) {
        sqlite3_close_v2(m_database);
        m_database = nullptr;
    }
}

int DBHelper::compareVersions(const std::string& a, const std::string& b) {
    auto components = [](const std::string& version) {
        std::vector<unsigned long long> parts;
        size_t start = 0;
        while (start <= version.size()) {
            size_t end = version.find('.', start);
            if (end == std::string::npos)
                end = version.size();
            unsigned long long number = 0;
            for (size_t i = start; i < end && version[i] >= '0' && version[i] <= '9'; ++i)
                number = std::min(number * 10 + static_cast<unsigned>(version[i] - '0'), 1ULL << 60);
            parts.push_back(number);
            start = end + 1;
        }
        return parts;
    };
    auto left = components(a);
    auto right = components(b);
    size_t count = std::max(left.size(), right.size());
    for (size_t i = 0; i < count; ++i) {
        unsigned long long l = i < left.size() ? left[i] : 0;
        unsigned long long r = i < right.size() ? right[i] : 0;
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}
