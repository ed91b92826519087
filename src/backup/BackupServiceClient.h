#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "QLCoreLibrary/BackupArchive.h"
#include "QLCoreLibrary/RestoreProblem.h"
#include "platform/base/Value.h"

namespace platform::net {
class FormRequest;
}

// The decoded reply of the backup service; each field is absent when the reply lacks it
// (and all three when the reply is no JSON object).
struct ServiceResponse {
    std::optional<std::string> status;
    std::optional<platform::Value> description; // a text or a number
    std::optional<platform::Value> data;

    // The description as text ("" when absent).
    std::string descriptionText() const;
};

// The one client of the online backup service: registers the device under the user's
// e-mail address, counts and lists the stored backups, uploads a backup and restores one.
//
// Every step is reported through the notification "BackupServiceClientStatusChanged",
// posted on the main thread with the client as object and the user information
// {"operation", "status", "description"} (no "description" when there is none). Messages for
// the user go through the alert presenter the application installs.
//
// Registration, list and count run asynchronously and report on the main thread; backup and
// restore run on a background thread of their own. Only one backup or restore runs at a
// time: starting another meanwhile does nothing.
class BackupServiceClient {
public:
    static constexpr const char* StatusChangedNotification = "BackupServiceClientStatusChanged";
    // Posted on the main thread, after everything a backup or restore has posted, once it has
    // ended (also when it ended without a closing status, as a restore cut off in transport).
    static constexpr const char* ArchiveOperationEndedNotification
        = "BackupServiceClientArchiveOperationEnded";
    // Title of every alert of the client.
    static constexpr const char* AlertTitle = "Vantrel";

    using AlertPresenter = std::function<void(const std::string& title, const std::string& message)>;

    static BackupServiceClient& sharedClient();
    BackupServiceClient(const BackupServiceClient&) = delete;
    BackupServiceClient& operator=(const BackupServiceClient&) = delete;

    // Installed by the application (the view toolkit's alert); called on the main thread.
    // Without one, messages are written to standard error.
    static void setAlertPresenter(AlertPresenter presenter);

    // Base address of the service, ending in "/". Default: $VANTREL_BACKUP_URL, else
    // "http://127.0.0.1:8470/" (a vantrel-backupd on this machine).
    void setBaseAddress(std::string address);
    std::string baseAddress() const;

    void registerWithEmail(const std::string& email, const std::string& deviceName);
    void refreshBackupList();
    // Does nothing while the client is busy.
    void refreshBackupCount();
    void backup();
    // `index` into backups() as the user saw it.
    void restore(int index);
    // Restores the backup archive at `path` (a file the user chose, which the client takes over
    // and removes) exactly as a downloaded one: the same notifications, messages and staged
    // install. Does nothing while a backup or restore runs.
    void restoreFromFile(const std::string& path);

    // A changed address forgets the count and list of the previous one.
    void saveCredentials(const std::string& email, const std::string& deviceName);
    // Also forgets the count (back to -1) and the list.
    void clearCredentials();
    bool hasCredentials() const { return !email().empty(); }
    std::string email() const;
    std::string deviceName() const;
    std::string deviceID() const;

    // "yyyy-MM-dd HH:mm" in UTC to the local medium date and short time; text that does not
    // match the pattern is returned unchanged.
    static std::string formatBackupDate(const std::string& text);

    // Entries {"bid", "deviceName", "date"} of the last successful list, in the service's
    // order. Read on the main thread.
    const std::vector<platform::Dictionary>& backups() const { return m_backups; }
    // -1 until a count request has succeeded.
    int backupCount() const { return m_backupCount; }
    bool isBusy() const { return m_busy; }
    // True while a backup or restore runs.
    bool isArchiveOperationRunning() const { return m_archiveOperation; }

    // How long requests may take and how much they may bring back. A control request
    // (registration, count, list, authorization) gets `controlSeconds` and
    // `maxControlReplyBytes`; an upload or download gets `fileSeconds` plus one second per
    // `bytesPerSecond` bytes of its file, and a download at most `maxDownloadBytes` (and no
    // more than the length the service announces).
    struct Limits {
        double controlSeconds {30};
        unsigned long long maxControlReplyBytes {1024 * 1024};
        double fileSeconds {60};
        double bytesPerSecond {32 * 1024};
        unsigned long long maxDownloadBytes {1024ULL * 1024 * 1024};
        // What a restored archive may expand to (see BackupArchive::stage).
        unsigned long long maxRestoreBytes {BackupArchive::kMaxExpandedBytes};
    };
    void setLimits(const Limits& limits) { m_limits = limits; }
    const Limits& limits() const { return m_limits; }

    // Tests: forget the list, the count, the base address and the limits (between sandboxes).
    void reset();

private:
    BackupServiceClient() = default;

    std::string serviceUrlForOperation(const std::string& operation) const;
    static ServiceResponse processResponse(const std::string& text);
    void showResponse(const ServiceResponse& response);
    void showMessage(const std::string& text);
    // Tells the user what failed: no space, a reply too large, or no connection.
    void processConnectionError(const platform::net::FormRequest& request);
    std::shared_ptr<platform::net::FormRequest> controlRequest(const std::string& operation) const;
    void postStatusNotification(const std::string& operation, const std::string& status,
        const std::optional<std::string>& description);
    void postNotification(platform::Dictionary info);

    bool beginArchiveOperation();
    // Marks the client busy and runs an archive operation begun above.
    void runArchiveOperation(std::function<void()> operation);
    void performBackup();
    // Packs and sends the archive; true when the service accepted it.
    bool uploadBackup();
    void performRestore(std::string bid);
    // Stages, checks and installs the archive, keeping the previous data until the restored
    // data has opened; reopens the database in every case.
    RestoreProblem installDownloadedArchive(const std::string& archive);
    void performFileRestore(std::string path);
    // Tells the user how a restore ended: the failure's message, or that it was restored.
    void reportRestore(const std::optional<std::string>& failure);
    // After a restore that threw: the previous data back and open, and the user told.
    void restoreInterrupted();
    void endArchiveOperation();
    void forgetBackups();

    std::vector<platform::Dictionary> m_backups;
    std::atomic<int> m_backupCount {-1};
    std::atomic<bool> m_busy {false};
    std::atomic<bool> m_archiveOperation {false};
    std::string m_baseAddress;
    Limits m_limits;
};
