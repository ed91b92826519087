#include "backup/BackupFiles.h"

#include <algorithm>
#include <cstdio>

#include "QLCoreLibrary/BackupArchive.h"
#include "QLCoreLibrary/ZipArchive.h"
#include "backup/BackupServiceClient.h"
#include "data/DB.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/base/UserDefaults.h"
#include "platform/views/Application.h"

namespace fs = platform::fs;

namespace {

const char* kBusyMessage = "A backup or restore is still running. Please try again when it has finished.";
const char* kNotWrittenMessage = "The backup file could not be created. Your data is unchanged.";
const char* kNotHandedOverMessage = "The backup file could not be saved on this device.";
const char* kNotABackupMessage = "This file is not a Vantrel backup file. Nothing was changed.";
const char* kUnsafeMessage
    = "This file names files outside Vantrel's data folder, so it cannot be restored. Nothing was changed.";

// The names a database of any version of the application has had.
bool isDatabaseName(const std::string& name) {
    return name == "vantrel.db" || name == "dovrin.sqlite";
}

} // namespace

std::string BackupFiles::suggestedFileName() {
    const auto today = platform::Calendar().components(platform::Clock::now());
    char name[64];
    std::snprintf(name, sizeof name, "vantrel-backup-%04d-%02d-%02d.zip", today.year.value_or(0),
        today.month.value_or(0), today.day.value_or(0));
    return name;
}

std::optional<std::string> BackupFiles::download() {
    // A backup or restore has the database closed and the archive's place.
    if (BackupServiceClient::sharedClient().isArchiveOperationRunning())
        return kBusyMessage;
    const std::string name = suggestedFileName();
    const std::string path = fs::joinPath(platform::Sandbox::temporaryDirectory(), name);
    DB::disconnect();
    platform::UserDefaults::standardUserDefaults().synchronize();
    const bool written = BackupArchive::write(path);
    DB::connect();
    if (!written) {
        fs::removeItem(path);
        return kNotWrittenMessage;
    }
    auto* host = platform::views::Application::sharedApplication().host();
    const bool handedOver = host && host->saveFile(path, name, kContentType);
    fs::removeItem(path);
    if (!handedOver)
        return kNotHandedOverMessage;
    return std::nullopt;
}

std::optional<std::string> BackupFiles::problemWithFile(const std::string& path) {
    ZipArchive archive(path);
    if (!archive.openForReading())
        return kNotABackupMessage;
    const std::vector<std::string> names = archive.contents();
    archive.close();
    // Extraction would skip such names; an archive that has them was not made by a backup.
    if (!std::all_of(names.begin(), names.end(), ZipArchive::isSafeEntryName))
        return kUnsafeMessage;
    if (std::none_of(names.begin(), names.end(), isDatabaseName))
        return kNotABackupMessage;
    return std::nullopt;
}
