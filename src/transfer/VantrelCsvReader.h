#pragma once

#include <string>
#include <vector>

#include "transfer/CsvColumns.h"
#include "transfer/ImportData.h"

// Vantrel's own CSV files (docs/csv-format.md), as the export writes them or as a person
// edited them: cars, fill-ups, services with their history and repairs, tied together by
// the "Vehicle ID" column. ISO dates and dot decimals only, units from the headers. With the
// cars' file among them the logbook is taken exactly (exactLogbook).
class VantrelCsvReader {
public:
    enum class Kind { None, Vehicles, Fillups, Services, Repairs };
    static Kind kindOf(const CsvColumns& header);

    struct File {
        std::string name;
        const std::vector<CsvRecord>* records {nullptr};
    };
    // Reads the files, the cars' file first whatever their order.
    static void read(std::vector<File> files, ImportData& data);
};
