#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/base/FileSystem.h"
#include "server/BackupServer.h"
#include "server/BackupStore.h"

namespace vantrel::test {

// The real backup service on a free loopback port, with its data in a temporary folder and
// its log kept for the test (the authorization links are read from it).
class LoopbackBackupServer {
public:
    explicit LoopbackBackupServer(bool autoAuthorize = true, std::size_t maxUploadBytes = 64u * 1024 * 1024)
        : m_folder(platform::fs::makeTemporaryDirectory("vantrel-backupd"))
        , m_server(makeOptions(autoAuthorize, maxUploadBytes)) {
        m_running = m_server.start();
    }
    ~LoopbackBackupServer() {
        m_server.stop();
        platform::fs::removeItem(m_folder);
    }
    LoopbackBackupServer(const LoopbackBackupServer&) = delete;
    LoopbackBackupServer& operator=(const LoopbackBackupServer&) = delete;

    bool isRunning() const { return m_running; }
    void stop() {
        m_server.stop();
        m_running = false;
    }
    std::string baseURL() const { return m_server.baseURL(); }
    int port() const { return m_server.port(); }
    server::BackupStore& store() { return m_server.store(); }
    const std::string& folder() const { return m_folder; }

    std::vector<std::string> log() const {
        std::lock_guard lock(m_mutex);
        return m_log;
    }
    // Path of the last authorization link written to the log ("" when none).
    std::string lastAuthorizationPath() const {
        const std::string marker = "mobile/authorize/";
        std::lock_guard lock(m_mutex);
        for (auto line = m_log.rbegin(); line != m_log.rend(); ++line)
            if (auto at = line->find(marker); at != std::string::npos)
                return "/" + line->substr(at);
        return {};
    }

private:
    server::BackupServerOptions makeOptions(bool autoAuthorize, std::size_t maxUploadBytes) {
        server::BackupServerOptions options;
        options.port = 0;
        options.dataFolder = m_folder;
        options.autoAuthorize = autoAuthorize;
        options.maxUploadBytes = maxUploadBytes;
        options.log = [this](const std::string& line) {
            std::lock_guard lock(m_mutex);
            m_log.push_back(line);
        };
        return options;
    }

    std::string m_folder;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_log;
    server::BackupServer m_server;
    bool m_running {false};
};

} // namespace vantrel::test
