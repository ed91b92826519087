#pragma once

#include <string>
#include <vector>

#include "transfer/ImportData.h"
#include "transfer/ImportSource.h"

// Reading a file from another logbook: which format it is in, and what it holds. The
// screens call read() again with the person's answers whenever one changes.
class LogbookImport {
public:
    // What the screens tell the person when no format fits.
    static constexpr const char* kUnknownMessage
        = "Vantrel does not recognise this file. It can import the CSV files of Fuelly, Fuelio, Drivvo and "
          "LubeLogger, its own CSV files, and CSV files of fill-ups whose first row names the date, "
          "odometer, "
          "quantity and price or total columns.";

    // The file names the browser's chooser offers.
    static std::vector<std::string> extensions() { return {".csv", ".zip", ".txt"}; }

    // Every file of the source read in its format: Vantrel's own files together, the others
    // one by one, their cars joined by name. Format Unknown when no file is recognised.
    static ImportData read(const ImportSource& source, const ImportOptions& options);

    // "Fuelly", "Fuelio", ..., "a CSV file" for the generic table.
    static std::string formatName(ImportFormat format);
};
