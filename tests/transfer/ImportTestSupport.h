#pragma once

#include <optional>
#include <string>

#include "data/DB.h"
#include "support/TemporarySandbox.h"
#include "transfer/ImportPlan.h"
#include "transfer/ImportSource.h"
#include "transfer/LogbookImport.h"

namespace vantrel::test {

// A fresh data folder with the shipped database connected, for one logbook.
struct FreshLogbook {
    TemporarySandbox sandbox;
    FreshLogbook() { DB::connect(); }
    ~FreshLogbook() { DB::disconnect(); }
};

inline ImportData readText(
    const std::string& name, const std::string& text, const ImportOptions& options = {}) {
    return LogbookImport::read(ImportSource::fromText(name, text), options);
}

// Imports what the file holds into the cars of the same name (new cars for the others).
inline std::optional<ImportPlan::Counts> importData(
    const ImportData& data, const ImportOptions& options = {}) {
    const ImportPlan plan(data, options, ImportPlan::defaultTargets(data));
    return plan.commit();
}

inline std::optional<ImportPlan::Counts> importText(
    const std::string& name, const std::string& text, const ImportOptions& options = {}) {
    const ImportData data = readText(name, text, options);
    return importData(data, options);
}

} // namespace vantrel::test
