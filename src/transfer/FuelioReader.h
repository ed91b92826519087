#pragma once

#include <vector>

#include "transfer/CsvReader.h"
#include "transfer/ImportData.h"

// Fuelio's backup and export file: one car, in sections opened by a "## Name" record
// ("## Vehicle", "## Log", "## CostCategories", "## Costs"; "##Vehicle" also), each with its
// own header. Units come from the log's header names, else from the vehicle's unit codes.
// Costs of the service, maintenance and tuning categories become repairs, or services when
// they repeat; the other categories are counted but not imported.
class FuelioReader {
public:
    static bool isFuelio(const std::vector<CsvRecord>& records);
    static void read(const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data);
};
