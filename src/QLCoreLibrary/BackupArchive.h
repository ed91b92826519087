#pragma once

#include <functional>
#include <string>

#include "QLCoreLibrary/RestoreProblem.h"

// The backup archive of the application's data: every non-hidden file at the top level of
// the documents folder, then the preferences file, as flat deflated entries.
//
// A restore happens in steps so that a failure never leaves half a data set, or an unusable
// one, behind:
//   stage()    checks the archive's directory (no entry twice, not too many, expansion within
//              the free space and a sane maximum), extracts it into a staging folder and
//              checks what came out (StagedBackupCheck); the current data is not touched;
//   install()  moves the current files aside, the staged ones into place, and has the caller
//              open the result; if anything fails, the previous files go back.
// A restore killed half-way is undone at the next start (recoverInterruptedRestore).
class BackupArchive {
public:
    static constexpr const char* archiveFileName = "com.quillon.vantrel.backup.zip";
    static constexpr unsigned long long kMaxExpandedBytes = 2ULL * 1024 * 1024 * 1024;
    // Kept free beyond the expanded archive, so a restore never fills the disk.
    static constexpr unsigned long long kFreeSpaceReserve = 32ULL * 1024 * 1024;
    static constexpr size_t kMaxEntries = 10000;

    // The archive's place in the temporary folder.
    static std::string archivePath();
    // Where stage() extracts to: inside the sandbox, on the documents folder's file system.
    static std::string stagingDirectory();
    // Where install() keeps the replaced files until the restored data has opened.
    static std::string previousDataDirectory();
    // The preferences file's entry name: the bundle identifier with the extension "plist".
    static std::string preferencesEntryName();

    // Writes the archive (replacing any file at the path). False when a file could not be
    // added or the archive not completed; a missing preferences file is simply left out.
    static bool write(const std::string& path);

    // Checks, extracts and checks again (see above). Leaves no staging folder behind unless
    // the answer is None. `maxExpandedBytes` is a seam for tests.
    static RestoreProblem stage(const std::string& archivePath, const std::string& stagingFolder,
        unsigned long long maxExpandedBytes = kMaxExpandedBytes);
    // Replaces the documents' files of the staged names and the preferences file (resetting
    // the in-memory settings), then calls `openInstalled`, which answers whether the
    // restored data opened. On any failure every replaced file is put back (the caller
    // then opens the previous data again). Removes the staging folder in every case.
    static RestoreProblem install(
        const std::string& stagingFolder, const std::function<bool()>& openInstalled);
    // At start, before the database opens: removes a staging folder left by a killed restore
    // and puts back the files of an install that did not finish.
    static void recoverInterruptedRestore();

private:
    static std::string manifestPath();
    static void rollBack();
};
