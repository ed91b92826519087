#pragma once

#include <vector>

#include "transfer/CsvReader.h"
#include "transfer/ImportData.h"

// Drivvo's export: sections opened by unquoted marker lines ("##Refuelling", "##Service",
// "##Expense", "#Reabastecimiento"...), in any order, with headers in the phone's language, so
// that columns are taken by position: the current layout of 29 refuelling columns, or the
// older one of about 20. Units come from the odometer and price header texts. A service
// visit written as several rows (one per item) becomes one repair; expenses are counted but
// not imported. Drivvo has no missed fill-up flag.
class DrivvoReader {
public:
    static bool isDrivvo(const std::vector<CsvRecord>& records);
    static void read(const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data);
};
