#include "server/BackupStore.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include <openssl/rand.h>
#include <sqlite3.h>

namespace server {

namespace {

// One prepared statement, finalized on every path out.
class Statement {
public:
    Statement(sqlite3* db, const char* sql)
        : m_db(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            fail();
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, const std::string& text) {
        if (sqlite3_bind_text(
                m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT)
            != SQLITE_OK)
            fail();
        return *this;
    }
    Statement& bind(int index, std::int64_t number) {
        if (sqlite3_bind_int64(m_statement, index, number) != SQLITE_OK)
            fail();
        return *this;
    }
    // True while a row is available.
    bool step() {
        const int result = sqlite3_step(m_statement);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            fail();
        return false;
    }
    std::string text(int column) const {
        const auto* value = sqlite3_column_text(m_statement, column);
        return value ? reinterpret_cast<const char*>(value) : "";
    }
    std::int64_t integer(int column) const { return sqlite3_column_int64(m_statement, column); }

private:
    [[noreturn]] void fail() { throw std::runtime_error(std::string("database: ") + sqlite3_errmsg(m_db)); }
    sqlite3* m_db;
    sqlite3_stmt* m_statement {nullptr};
};

BackupStore::Authorization stateFromText(const std::string& text) {
    return text == "authorized" ? BackupStore::Authorization::Authorized
                                : BackupStore::Authorization::Pending;
}

} // namespace

BackupStore::BackupStore(std::string dataFolder)
    : m_dataFolder(std::move(dataFolder)) {
    std::filesystem::create_directories(filesFolder());
    const std::string path = m_dataFolder + "/backupd.sqlite";
    if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw std::runtime_error("cannot open " + path + ": " + message);
    }
    sqlite3_busy_timeout(m_db, 5000);
    execute("PRAGMA journal_mode=WAL");
    execute("CREATE TABLE IF NOT EXISTS accounts ("
            " email TEXT PRIMARY KEY, created INTEGER NOT NULL)");
    execute("CREATE TABLE IF NOT EXISTS devices ("
            " email TEXT NOT NULL, device_id TEXT NOT NULL, device_name TEXT NOT NULL,"
            " state TEXT NOT NULL, token TEXT NOT NULL UNIQUE, PRIMARY KEY (email, device_id))");
    execute("CREATE TABLE IF NOT EXISTS backups ("
            " bid TEXT PRIMARY KEY, email TEXT NOT NULL, device_id TEXT NOT NULL, device_name TEXT NOT NULL,"
            " created INTEGER NOT NULL, size INTEGER NOT NULL, md5 TEXT NOT NULL, file TEXT NOT NULL)");
    execute("CREATE INDEX IF NOT EXISTS backups_by_email ON backups (email, created)");
}

BackupStore::~BackupStore() {
    sqlite3_close(m_db);
}

void BackupStore::execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error("database: " + text);
    }
}

std::string BackupStore::filesFolder() const {
    return m_dataFolder + "/files";
}

std::string BackupStore::normalizedEmail(const std::string& email) {
    const auto first = email.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = email.find_last_not_of(" \t\r\n");
    std::string result = email.substr(first, last - first + 1);
    std::transform(result.begin(), result.end(), result.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string BackupStore::randomHex(size_t bytes) {
    std::string raw(bytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(raw.data()), static_cast<int>(bytes)) != 1)
        throw std::runtime_error("no random numbers available");
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : raw) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

BackupStore::Registration BackupStore::registerDevice(const std::string& email, const std::string& deviceID,
    const std::string& deviceName, bool authorizeAtOnce) {
    const std::string key = normalizedEmail(email);
    std::lock_guard lock(m_mutex);
    Statement(m_db, "INSERT OR IGNORE INTO accounts (email, created) VALUES (?1, ?2)")
        .bind(1, key)
        .bind(2, static_cast<std::int64_t>(m_clock()))
        .step();

    Statement existing(m_db, "SELECT state, token FROM devices WHERE email = ?1 AND device_id = ?2");
    existing.bind(1, key).bind(2, deviceID);
    Registration registration;
    if (existing.step()) {
        registration.state = stateFromText(existing.text(0));
        registration.token = existing.text(1);
    } else {
        registration.token = randomHex(16);
    }
    if (authorizeAtOnce)
        registration.state = Authorization::Authorized;
    Statement(m_db,
        "INSERT INTO devices (email, device_id, device_name, state, token) VALUES (?1, ?2, ?3, ?4, ?5)"
        " ON CONFLICT (email, device_id) DO UPDATE SET device_name = ?3, state = ?4")
        .bind(1, key)
        .bind(2, deviceID)
        .bind(3, deviceName)
        .bind(4, registration.state == Authorization::Authorized ? "authorized" : "pending")
        .bind(5, registration.token)
        .step();
    return registration;
}

std::optional<std::string> BackupStore::confirm(const std::string& token) {
    std::lock_guard lock(m_mutex);
    Statement find(m_db, "SELECT email FROM devices WHERE token = ?1");
    find.bind(1, token);
    if (token.empty() || !find.step())
        return std::nullopt;
    std::string email = find.text(0);
    Statement(m_db, "UPDATE devices SET state = 'authorized' WHERE token = ?1").bind(1, token).step();
    return email;
}

BackupStore::Authorization BackupStore::authorization(const std::string& email, const std::string& deviceID) {
    std::lock_guard lock(m_mutex);
    Statement find(m_db, "SELECT state FROM devices WHERE email = ?1 AND device_id = ?2");
    find.bind(1, normalizedEmail(email)).bind(2, deviceID);
    return find.step() ? stateFromText(find.text(0)) : Authorization::Unknown;
}

bool BackupStore::isAuthorizedDevice(const std::string& deviceID) {
    std::lock_guard lock(m_mutex);
    Statement find(m_db, "SELECT 1 FROM devices WHERE device_id = ?1 AND state = ?2");
    find.bind(1, deviceID).bind(2, std::string("authorized"));
    return find.step();
}

bool BackupStore::hasAccount(const std::string& email) {
    std::lock_guard lock(m_mutex);
    Statement find(m_db, "SELECT 1 FROM accounts WHERE email = ?1");
    find.bind(1, normalizedEmail(email));
    return find.step();
}

std::string BackupStore::addBackup(const std::string& email, const std::string& deviceID,
    const std::string& deviceName, const std::string& content, const std::string& md5) {
    const std::string bid = randomHex(16);
    const std::string file = bid + ".zip";
    const std::string path = filesFolder() + "/" + file;
    const std::string partial = path + ".part";
    // Written aside and renamed, so a listed backup always has its whole file.
    FILE* output = std::fopen(partial.c_str(), "wb");
    if (!output)
        throw std::runtime_error("cannot create " + partial);
    const bool written = std::fwrite(content.data(), 1, content.size(), output) == content.size();
    if (std::fclose(output) != 0 || !written || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        throw std::runtime_error("cannot write " + path);
    }
    std::lock_guard lock(m_mutex);
    Statement(m_db,
        "INSERT INTO backups (bid, email, device_id, device_name, created, size, md5, file)"
        " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")
        .bind(1, bid)
        .bind(2, normalizedEmail(email))
        .bind(3, deviceID)
        .bind(4, deviceName)
        .bind(5, static_cast<std::int64_t>(m_clock()))
        .bind(6, static_cast<std::int64_t>(content.size()))
        .bind(7, md5)
        .bind(8, file)
        .step();
    return bid;
}

std::vector<BackupStore::Backup> BackupStore::backups(const std::string& email) {
    std::lock_guard lock(m_mutex);
    Statement list(m_db,
        "SELECT bid, device_name, created, md5, file, size FROM backups WHERE email = ?1"
        " ORDER BY created DESC, rowid DESC");
    list.bind(1, normalizedEmail(email));
    std::vector<Backup> result;
    while (list.step())
        result.push_back({list.text(0), list.text(1), static_cast<std::time_t>(list.integer(2)), list.text(3),
            filesFolder() + "/" + list.text(4), list.integer(5)});
    return result;
}

int BackupStore::backupCount(const std::string& email) {
    std::lock_guard lock(m_mutex);
    Statement count(m_db, "SELECT COUNT(*) FROM backups WHERE email = ?1");
    count.bind(1, normalizedEmail(email));
    return count.step() ? static_cast<int>(count.integer(0)) : 0;
}

std::optional<BackupStore::Backup> BackupStore::backup(const std::string& email, const std::string& bid) {
    std::lock_guard lock(m_mutex);
    Statement find(
        m_db, "SELECT bid, device_name, created, md5, file, size FROM backups WHERE email = ?1 AND bid = ?2");
    find.bind(1, normalizedEmail(email)).bind(2, bid);
    if (!find.step())
        return std::nullopt;
    return Backup {find.text(0), find.text(1), static_cast<std::time_t>(find.integer(2)), find.text(3),
        filesFolder() + "/" + find.text(4), find.integer(5)};
}

} // namespace server
