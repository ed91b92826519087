#pragma once

#include <vector>

#include "transfer/CsvColumns.h"
#include "transfer/ImportData.h"

// A CSV file of fill-ups with a header row from anywhere else: columns are recognised by
// their usual names (date, odometer, quantity or volume, price per unit, total or cost,
// full / partial / missed or a type column, notes, station, vehicle), units by the names or
// the units in parentheses, and dates and numbers as the cells show them (the device's own
// language when they leave it open).
class GenericCsvReader {
public:
    // Whether the header has the columns a fill-up cannot do without: date, odometer and
    // quantity, and a price or a total.
    static bool isFillupTable(const CsvColumns& header);
    static void read(const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data);
};
