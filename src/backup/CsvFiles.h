#pragma once

#include <optional>
#include <string>

#include "platform/views/ApplicationHost.h"

class ImportSource;

// The logbook as CSV files on the computer the user sits at, beside the backup files: the
// export handed to the host (a download in the browser), and a file from another logbook,
// chosen in the host's file chooser, read for import.
class CsvFiles {
public:
    static constexpr const char* kContentType = "application/zip";

    // Writes the logbook as Vantrel's CSV files into a zip archive and hands it to the host.
    // The message for the user when that failed; none on success.
    static std::optional<std::string> download();

    // Reads a chosen file and removes it. None, with the message for the user in `problem`,
    // when it cannot be read or is in no format Vantrel knows.
    static std::optional<ImportSource> read(const platform::views::PickedFile& file, std::string& problem);
};
