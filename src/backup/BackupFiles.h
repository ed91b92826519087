#pragma once

#include <optional>
#include <string>

// Backup files on the computer the user sits at, beside the backup service: the same archive
// a backup uploads, handed to the host to keep (a download in the browser), and the check
// that a file the user chose is such an archive before it is offered for restoring (which
// BackupServiceClient::restoreFromFile does).
class BackupFiles {
public:
    static constexpr const char* kContentType = "application/zip";
    static constexpr const char* kExtension = ".zip";

    // "vantrel-backup-YYYY-MM-DD.zip", with today's local date.
    static std::string suggestedFileName();

    // Packs the data as a backup does (the database closed meanwhile) and hands the archive
    // to the host. The message for the user when that failed; none on success.
    static std::optional<std::string> download();

    // Why the file at `path` cannot be restored (the message for the user), or none when it
    // is a backup archive: a zip archive whose entries are plain file names, the database
    // among them. Changes nothing.
    static std::optional<std::string> problemWithFile(const std::string& path);
};
