#pragma once

#include <vector>

#include "transfer/CsvColumns.h"
#include "transfer/ImportData.h"

// Fuelly's exports: the web site's fuel-ups file (per-unit price, no total, units in the
// header names, one or more cars by name) and services file, and the phone app's table of
// "Gas" and "Service" rows, whose header texts and units are not known, so that the person
// is asked for the units and told to check the rows.
class FuellyReader {
public:
    static bool isWebFuelups(const CsvColumns& header);
    static bool isWebServices(const CsvColumns& header);
    static bool isPhoneExport(const std::vector<CsvRecord>& records);

    static void readWebFuelups(
        const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data);
    static void readWebServices(
        const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data);
    static void readPhoneExport(
        const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data);

    // "engine_oil,oil_filter" as "Engine Oil, Oil Filter" (names the person made stay as typed).
    static std::string serviceTitle(const std::string& subServiceTypes);
};
