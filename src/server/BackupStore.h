#pragma once

#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace server {

// Accounts, device authorizations and stored backups of the backup service: an SQLite
// database plus one file per backup, all inside one data folder.
//
// Accounts are keyed by e-mail address (compared without regard to case). Each device of an
// account is "pending" until its authorization token is confirmed, then "authorized".
// Failures of the database or the file system throw std::runtime_error.
// Safe to use from several threads (one lock around everything).
class BackupStore {
public:
    enum class Authorization { Unknown, Pending, Authorized };

    struct Registration {
        Authorization state {Authorization::Pending};
        std::string token; // the confirmation token (also when already authorized)
    };

    struct Backup {
        std::string bid;
        std::string deviceName;
        std::time_t created {0};
        std::string md5;
        std::string path; // the stored archive
        std::int64_t size {0};
    };

    explicit BackupStore(std::string dataFolder);
    ~BackupStore();
    BackupStore(const BackupStore&) = delete;
    BackupStore& operator=(const BackupStore&) = delete;

    // Creates the account on first use; keeps an authorized device authorized.
    Registration registerDevice(const std::string& email, const std::string& deviceID,
        const std::string& deviceName, bool authorizeAtOnce);
    // Authorizes the device holding the token; the e-mail address, or none for an unknown token.
    std::optional<std::string> confirm(const std::string& token);
    Authorization authorization(const std::string& email, const std::string& deviceID);
    // Whether the device is authorized for any account: what can be checked of an upload
    // before its body (which holds the e-mail address) is read.
    bool isAuthorizedDevice(const std::string& deviceID);
    bool hasAccount(const std::string& email);

    // Stores the archive bytes; returns the new backup's identifier.
    std::string addBackup(const std::string& email, const std::string& deviceID,
        const std::string& deviceName, const std::string& content, const std::string& md5);
    // Newest first.
    std::vector<Backup> backups(const std::string& email);
    int backupCount(const std::string& email);
    std::optional<Backup> backup(const std::string& email, const std::string& bid);

    const std::string& dataFolder() const { return m_dataFolder; }
    std::string filesFolder() const;
    // Seam for tests: the time stamped on new backups.
    void setClock(std::function<std::time_t()> clock) { m_clock = std::move(clock); }

    static std::string normalizedEmail(const std::string& email);
    static std::string randomHex(size_t bytes);

private:
    void execute(const char* sql);

    std::string m_dataFolder;
    sqlite3* m_db {nullptr};
    std::mutex m_mutex;
    std::function<std::time_t()> m_clock {[] { return std::time(nullptr); }};
};

} // namespace server
