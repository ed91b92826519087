#include "QLCoreLibrary/BackupArchive.h"

#include <cstdio>
#include <vector>

#include "QLCoreLibrary/FileManagerExtensions.h"
#include "QLCoreLibrary/ZipArchive.h"
#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/base/UserDefaults.h"

namespace fs = platform::fs;

std::string BackupArchive::archivePath() {
    return fs::joinPath(platform::Sandbox::temporaryDirectory(), archiveFileName);
}

std::string BackupArchive::stagingDirectory() {
    return fs::joinPath(platform::Sandbox::temporaryDirectory(), "restore-staging");
}

std::string BackupArchive::preferencesEntryName() {
    return platform::Bundle::mainBundle().identifier() + ".plist";
}

bool BackupArchive::write(const std::string& path) {
    fs::removeItem(path);
    ZipArchive archive(path);
    if (!archive.openForWriting())
        return false;
    bool complete = archive.addFolder(documentsDirectory());
    const std::string preferences = appPreferencesFile();
    if (complete && fs::fileExists(preferences))
        complete = archive.addFile(preferences);
    const bool closed = archive.close();
    return complete && closed;
}

bool BackupArchive::stage(const std::string& archivePath, const std::string& stagingFolder) {
    fs::removeItem(stagingFolder);
    if (!fs::createDirectories(stagingFolder))
        return false;
    ZipArchive archive(archivePath);
    bool extracted = archive.openForReading() && archive.extractAllToPath(stagingFolder);
    extracted = archive.close() && extracted;
    if (!extracted)
        fs::removeItem(stagingFolder);
    return extracted;
}

bool BackupArchive::install(const std::string& stagingFolder) {
    const std::string documents = documentsDirectory();
    const std::string preferencesName = preferencesEntryName();
    std::vector<std::string> names;
    bool hasPreferences = false;
    for (const auto& name : fs::contentsOfDirectory(stagingFolder)) {
        if (fs::isDirectory(fs::joinPath(stagingFolder, name)))
            continue;
        if (name == preferencesName) {
            hasPreferences = true;
            continue;
        }
        if (fs::isDirectory(fs::joinPath(documents, name)))
            return false;
        names.push_back(name);
    }
    if (!fs::createDirectories(documents))
        return false;

    // rename() replaces the target in one step: each file is either the old or the new one.
    auto replace = [](const std::string& from, const std::string& to) {
        return std::rename(from.c_str(), to.c_str()) == 0;
    };
    bool moved = true;
    for (const auto& name : names)
        moved = replace(fs::joinPath(stagingFolder, name), fs::joinPath(documents, name)) && moved;

    if (hasPreferences) {
        const std::string preferences = appPreferencesFile();
        fs::createDirectories(fs::joinPath(libraryDirectory(), "Preferences"));
        // Dropped before and after the rename: nothing unsaved can be written over the
        // restored file, and the next read sees it.
        platform::UserDefaults::resetStandardUserDefaults();
        moved = replace(fs::joinPath(stagingFolder, preferencesName), preferences) && moved;
        platform::UserDefaults::resetStandardUserDefaults();
    }
    fs::removeItem(stagingFolder);
    return moved;
}
