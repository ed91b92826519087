#include "QLCoreLibrary/BackupArchive.h"

#include <cstdio>
#include <set>
#include <sstream>
#include <vector>

#include "QLCoreLibrary/FileManagerExtensions.h"
#include "QLCoreLibrary/StagedBackupCheck.h"
#include "QLCoreLibrary/ZipArchive.h"
#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/base/UserDefaults.h"

namespace fs = platform::fs;

namespace {

// The manifest's name for the preferences file, which lives outside the documents folder.
const char* kPreferencesMarker = "@preferences";

// rename() replaces the target in one step: each file is either the old or the new one.
bool replace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::string installedPath(const std::string& name) {
    return name == kPreferencesMarker ? appPreferencesFile() : fs::joinPath(documentsDirectory(), name);
}

} // namespace

std::string BackupArchive::archivePath() {
    return fs::joinPath(platform::Sandbox::temporaryDirectory(), archiveFileName);
}

std::string BackupArchive::stagingDirectory() {
    return fs::joinPath(platform::Sandbox::temporaryDirectory(), "restore-staging");
}

std::string BackupArchive::previousDataDirectory() {
    return fs::joinPath(platform::Sandbox::temporaryDirectory(), "restore-previous");
}

std::string BackupArchive::manifestPath() {
    return fs::joinPath(platform::Sandbox::temporaryDirectory(), "restore-manifest");
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

RestoreProblem BackupArchive::stage(
    const std::string& archivePath, const std::string& stagingFolder, unsigned long long maxExpandedBytes) {
    fs::removeItem(stagingFolder);
    ZipArchive archive(archivePath);
    std::vector<ZipArchive::EntryInfo> entries;
    if (!archive.openForReading() || !archive.entryInfo(entries, kMaxEntries))
        return RestoreProblem::Unreadable;

    std::set<std::string> names;
    unsigned long long expanded = 0;
    for (const auto& entry : entries) {
        if (!names.insert(entry.name).second)
            return RestoreProblem::DuplicateEntries;
        expanded += entry.size;
        if (expanded > maxExpandedBytes)
            return RestoreProblem::TooLarge;
    }
    if (!fs::createDirectories(stagingFolder))
        return RestoreProblem::InstallFailed;
    const auto free = fs::freeSpace(stagingFolder);
    if (free && expanded + kFreeSpaceReserve > *free) {
        fs::removeItem(stagingFolder);
        return RestoreProblem::NotEnoughSpace;
    }
    // The declared sizes bound what extraction may write, whatever the data claims.
    archive.setExtractionLimit(expanded);
    bool extracted = archive.extractAllToPath(stagingFolder);
    extracted = archive.close() && extracted;
    RestoreProblem problem = extracted ? StagedBackupCheck::check(stagingFolder) : RestoreProblem::Unreadable;
    if (problem != RestoreProblem::None)
        fs::removeItem(stagingFolder);
    return problem;
}

RestoreProblem BackupArchive::install(
    const std::string& stagingFolder, const std::function<bool()>& openInstalled) {
    const std::string documents = documentsDirectory();
    const std::string previous = previousDataDirectory();
    const std::string preferencesName = preferencesEntryName();

    // Everything that could stop the install is looked at before anything moves.
    std::vector<std::string> names;
    for (const auto& name : fs::contentsOfDirectory(stagingFolder)) {
        if (fs::isDirectory(fs::joinPath(stagingFolder, name)))
            continue;
        const std::string manifestName = name == preferencesName ? kPreferencesMarker : name;
        if (fs::isDirectory(installedPath(manifestName))) {
            fs::removeItem(stagingFolder);
            return RestoreProblem::InstallFailed;
        }
        names.push_back(name);
    }
    fs::removeItem(previous);
    // "=" marks a file that had a previous version, "+" one that is new; written before the
    // first move so that a restore killed at any point can be undone.
    std::string manifest;
    for (const auto& name : names) {
        const std::string manifestName = name == preferencesName ? kPreferencesMarker : name;
        manifest += (fs::fileExists(installedPath(manifestName)) ? "=" : "+") + manifestName + "\n";
    }
    if (!fs::createDirectories(documents) || !fs::createDirectories(previous)
        || !fs::createDirectories(fs::joinPath(libraryDirectory(), "Preferences"))
        || !fs::writeFileAtomically(manifestPath(), manifest)) {
        fs::removeItem(stagingFolder);
        fs::removeItem(previous);
        return RestoreProblem::InstallFailed;
    }

    // Dropped before and after the moves: nothing unsaved can be written over the restored
    // file, and the next read sees it.
    platform::UserDefaults::resetStandardUserDefaults();
    bool moved = true;
    for (const auto& name : names) {
        const std::string manifestName = name == preferencesName ? kPreferencesMarker : name;
        const std::string target = installedPath(manifestName);
        if (fs::fileExists(target) && !replace(target, fs::joinPath(previous, manifestName))) {
            moved = false;
            break;
        }
        if (!replace(fs::joinPath(stagingFolder, name), target)) {
            moved = false;
            break;
        }
    }
    platform::UserDefaults::resetStandardUserDefaults();
    fs::removeItem(stagingFolder);

    RestoreProblem problem = RestoreProblem::None;
    if (!moved)
        problem = RestoreProblem::InstallFailed;
    else if (openInstalled && !openInstalled())
        problem = RestoreProblem::RestoredDataUnusable;
    if (problem != RestoreProblem::None) {
        rollBack();
        return problem;
    }
    fs::removeItem(manifestPath());
    fs::removeItem(previous);
    return RestoreProblem::None;
}

void BackupArchive::rollBack() {
    const std::string previous = previousDataDirectory();
    if (auto manifest = fs::readFile(manifestPath())) {
        std::istringstream lines(*manifest);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.size() < 2)
                continue;
            const std::string name = line.substr(1);
            const std::string kept = fs::joinPath(previous, name);
            // A file whose previous version was not moved aside yet is still that version.
            if (line[0] == '=' && fs::fileExists(kept)) {
                fs::removeItem(installedPath(name));
                replace(kept, installedPath(name));
            } else if (line[0] == '+') {
                fs::removeItem(installedPath(name));
            }
        }
        platform::UserDefaults::resetStandardUserDefaults();
    }
    fs::removeItem(manifestPath());
    fs::removeItem(previous);
}

void BackupArchive::recoverInterruptedRestore() {
    fs::removeItem(stagingDirectory());
    if (fs::fileExists(manifestPath()) || fs::fileExists(previousDataDirectory()))
        rollBack();
}
