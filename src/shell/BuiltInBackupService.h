#pragma once

#include <memory>
#include <optional>
#include <string>

namespace server {
class BackupServer;
}

namespace shell {

// The backup service `vantrel` runs itself when no separate one is named: the server of
// vantrel-backupd, in this process, on the loopback interface at a free port, keeping its
// backups in a folder outside the data folder (so a restore never touches them). This
// installation's device is authorized as soon as it registers (one person on their own
// machine); any other device that registers waits for the authorization link in the log.
class BuiltInBackupService {
public:
    // $XDG_DATA_HOME/vantrel-backups, else ~/.local/share/vantrel-backups: beside the default
    // data folder.
    static std::string defaultFolder();
    // Why `folder` cannot keep the backups of the data folder `dataRoot` (it is that folder or
    // lies inside it), or none.
    static std::optional<std::string> problemWithFolder(
        const std::string& folder, const std::string& dataRoot);

    BuiltInBackupService();
    ~BuiltInBackupService();
    BuiltInBackupService(const BuiltInBackupService&) = delete;
    BuiltInBackupService& operator=(const BuiltInBackupService&) = delete;

    // Serves the backups in `folder` (created, readable by the user only) for the current
    // sandbox's device. False with `error` when the folder cannot be used or no port bound.
    bool start(const std::string& folder, std::string& error);
    void stop();
    bool isRunning() const { return m_server != nullptr; }
    // "http://127.0.0.1:PORT/" while running.
    std::string baseURL() const;

private:
    std::unique_ptr<server::BackupServer> m_server;
};

} // namespace shell
