#pragma once

#include <string>

// The backup archive of the application's data: every non-hidden file at the top level of
// the documents folder, then the preferences file, as flat deflated entries.
//
// A restore happens in two steps so that a failure never leaves half a data set behind:
// stage() extracts the whole archive into a staging folder inside the sandbox (the
// current data is not touched), install() then renames the staged files over the documents
// folder and the preferences file. The caller closes the database around install().
class BackupArchive {
public:
    static constexpr const char* archiveFileName = "com.quillon.vantrel.backup.zip";

    // The archive's place in the temporary folder.
    static std::string archivePath();
    // Where stage() extracts to: inside the sandbox, on the documents folder's file system.
    static std::string stagingDirectory();
    // The preferences file's entry name: the bundle identifier with the extension "plist".
    static std::string preferencesEntryName();

    // Writes the archive (replacing any file at the path). False when a file could not be
    // added or the archive not completed; a missing preferences file is simply left out.
    static bool write(const std::string& path);

    // Extracts every entry into a fresh staging folder. False (and the staging folder
    // removed) when the archive cannot be read completely.
    static bool stage(const std::string& archivePath, const std::string& stagingFolder);
    // Moves the staged files over the documents folder, replacing files of the same name,
    // and the staged preferences file (when there is one) over the application's, resetting
    // the in-memory settings so they are read from the restored file. Removes the staging
    // folder. False when a file could not be moved; the documents folder is checked for
    // obstacles (a folder of an entry's name) before anything is moved.
    static bool install(const std::string& stagingFolder);
};
