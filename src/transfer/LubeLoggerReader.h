#pragma once

#include <vector>

#include "transfer/CsvColumns.h"
#include "transfer/ImportData.h"

// LubeLogger's exports, one file per car and per kind of record: the fuel records
// (total cost only, True/False flags) and the service, repair or upgrade records, which
// become repairs. The files name no units, and write dates and numbers in the language of
// the server that made them, so that both are decided from the cells (the device's own
// language when the cells leave it open) and shown to the person to check.
class LubeLoggerReader {
public:
    static bool isFuel(const CsvColumns& header);
    static bool isRecords(const CsvColumns& header);
    static void readFuel(
        const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data);
    static void readRecords(
        const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data);
};
