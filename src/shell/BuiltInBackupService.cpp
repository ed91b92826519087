#include "shell/BuiltInBackupService.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/base/Device.h"
#include "server/BackupServer.h"

namespace shell {

namespace stdfs = std::filesystem;

namespace {

stdfs::path absolute(const std::string& path) {
    std::error_code error;
    stdfs::path result = stdfs::weakly_canonical(stdfs::absolute(path, error), error);
    if (error)
        result = stdfs::path(path).lexically_normal();
    // "a/b/" names the folder "a/b".
    return result.has_filename() || !result.has_parent_path() ? result : result.parent_path();
}

} // namespace

std::string BuiltInBackupService::defaultFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::string(xdg) + "/vantrel-backups";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/vantrel-backups";
    return "vantrel-backups";
}

std::optional<std::string> BuiltInBackupService::problemWithFolder(
    const std::string& folder, const std::string& dataRoot) {
    const stdfs::path backups = absolute(folder);
    const stdfs::path data = absolute(dataRoot);
    // Inside the data folder, the backups would travel in the data they back up.
    auto [end, rest] = std::mismatch(data.begin(), data.end(), backups.begin(), backups.end());
    if (end == data.end())
        return "the backups folder " + backups.string() + " must lie outside the data folder "
            + data.string();
    return std::nullopt;
}

BuiltInBackupService::BuiltInBackupService() = default;

BuiltInBackupService::~BuiltInBackupService() {
    stop();
}

bool BuiltInBackupService::start(const std::string& folder, std::string& error) {
    std::error_code failure;
    if (!stdfs::exists(folder, failure)) {
        stdfs::create_directories(folder, failure);
        if (!failure)
            stdfs::permissions(folder, stdfs::perms::owner_all, failure);
    }
    if (failure || !stdfs::is_directory(folder)) {
        error = "cannot create the backups folder " + folder;
        return false;
    }
    server::BackupServerOptions options;
    options.host = "127.0.0.1";
    options.port = 0;
    options.dataFolder = folder;
    options.authorizedDeviceID = platform::Device::current().uniqueIdentifier();
    options.log
        = [](const std::string& line) { std::cerr << "vantrel: backup service: " << line << std::endl; };
    try {
        auto backupServer = std::make_unique<server::BackupServer>(options);
        if (!backupServer->start()) {
            error = "the backup service found no port to listen on";
            return false;
        }
        m_server = std::move(backupServer);
    } catch (const std::exception& exception) {
        error = exception.what();
        return false;
    }
    return true;
}

void BuiltInBackupService::stop() {
    if (m_server)
        m_server->stop();
    m_server.reset();
}

std::string BuiltInBackupService::baseURL() const {
    return m_server ? m_server->baseURL() : std::string();
}

} // namespace shell
