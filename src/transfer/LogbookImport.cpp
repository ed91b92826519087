#include "transfer/LogbookImport.h"

#include <algorithm>

#include "transfer/CsvColumns.h"
#include "transfer/CsvReader.h"
#include "transfer/DrivvoReader.h"
#include "transfer/FuelioReader.h"
#include "transfer/FuellyReader.h"
#include "transfer/GenericCsvReader.h"
#include "transfer/ImportValues.h"
#include "transfer/LubeLoggerReader.h"
#include "transfer/VantrelCsvReader.h"

namespace {

// Drivvo writes a number after the closing quote of some header names; the line after a
// section mark is such a header.
std::string repairSectionHeaders(const std::string& text) {
    std::string repaired;
    repaired.reserve(text.size());
    bool afterMark = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string_view line(text.data() + start, end - start);
        const std::string trimmed = ImportValues::trim(line);
        if (afterMark && !trimmed.empty())
            repaired += CsvReader::repairQuotedSuffixes(line);
        else
            repaired += line;
        if (!trimmed.empty())
            afterMark = trimmed.starts_with("#");
        start = end;
    }
    return repaired;
}

// Reads one file of a known format other than Vantrel's; false when it is none of them.
bool readFile(const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    const CsvColumns header(records.front());
    if (FuelioReader::isFuelio(records)) {
        data.format = ImportFormat::Fuelio;
        FuelioReader::read(records, options, data);
    } else if (DrivvoReader::isDrivvo(records)) {
        data.format = ImportFormat::Drivvo;
        DrivvoReader::read(records, options, data);
    } else if (FuellyReader::isWebFuelups(header)) {
        data.format = ImportFormat::Fuelly;
        FuellyReader::readWebFuelups(records, options, data);
    } else if (FuellyReader::isWebServices(header)) {
        data.format = ImportFormat::Fuelly;
        FuellyReader::readWebServices(records, options, data);
    } else if (LubeLoggerReader::isFuel(header)) {
        data.format = ImportFormat::LubeLogger;
        LubeLoggerReader::readFuel(records, options, data);
    } else if (LubeLoggerReader::isRecords(header)) {
        data.format = ImportFormat::LubeLogger;
        LubeLoggerReader::readRecords(records, options, data);
    } else if (FuellyReader::isPhoneExport(records)) {
        data.format = ImportFormat::FuellyPhone;
        FuellyReader::readPhoneExport(records, options, data);
    } else if (GenericCsvReader::isFillupTable(header)) {
        data.format = ImportFormat::Generic;
        GenericCsvReader::read(records, options, data);
    } else {
        return false;
    }
    return true;
}

void addNotice(ImportData& data, const std::string& notice) {
    if (std::find(data.notices.begin(), data.notices.end(), notice) == data.notices.end())
        data.notices.push_back(notice);
}

// Joins what one file of an archive holds to what the others held.
void merge(ImportData& into, ImportData&& part, const std::string& fileName) {
    const auto conflicts = [](std::optional<int> a, std::optional<int> b) { return a && b && *a != *b; };
    if (conflicts(into.distanceUnit, part.distanceUnit) || conflicts(into.fuelUnit, part.fuelUnit)) {
        into.problems.push_back(
            {fileName, 0, "This file uses other units than the files before it: import it on its own."});
        return;
    }
    if (into.format == ImportFormat::Unknown) {
        into.format = part.format;
        into.dateOrder = part.dateOrder;
        into.decimalMark = part.decimalMark;
    }
    into.distanceUnit = into.distanceUnit ? into.distanceUnit : part.distanceUnit;
    into.fuelUnit = into.fuelUnit ? into.fuelUnit : part.fuelUnit;
    into.gallonsUnclear = into.gallonsUnclear || part.gallonsUnclear;
    into.dateOrderUnclear = into.dateOrderUnclear || part.dateOrderUnclear;
    into.decimalMarkUnclear = into.decimalMarkUnclear || part.decimalMarkUnclear;
    if (into.currency.empty())
        into.currency = part.currency;
    for (ImportProblem& problem : part.problems) {
        problem.file = fileName;
        into.problems.push_back(std::move(problem));
    }
    for (const std::string& notice : part.notices)
        addNotice(into, notice);
    for (ImportedVehicle& vehicle : part.vehicles) {
        ImportedVehicle& joined = into.vehicleWithKey(vehicle.key, vehicle.name);
        const auto fill = [](std::string& to, const std::string& from) {
            if (to.empty())
                to = from;
        };
        fill(joined.make, vehicle.make);
        fill(joined.model, vehicle.model);
        fill(joined.licensePlate, vehicle.licensePlate);
        fill(joined.notes, vehicle.notes);
        if (!joined.year)
            joined.year = vehicle.year;
        std::move(vehicle.fillups.begin(), vehicle.fillups.end(), std::back_inserter(joined.fillups));
        std::move(vehicle.repairs.begin(), vehicle.repairs.end(), std::back_inserter(joined.repairs));
        std::move(vehicle.services.begin(), vehicle.services.end(), std::back_inserter(joined.services));
        joined.otherCosts += vehicle.otherCosts;
    }
}

} // namespace

ImportData LogbookImport::read(const ImportSource& source, const ImportOptions& options) {
    std::vector<std::pair<std::string, std::vector<CsvRecord>>> tables;
    for (const ImportSource::File& file : source.files()) {
        const std::string text = repairSectionHeaders(file.text);
        auto records = CsvReader::parse(text, CsvReader::detectSeparator(text));
        if (!records.empty())
            tables.emplace_back(file.name, std::move(records));
    }

    ImportData data;
    std::vector<VantrelCsvReader::File> own;
    for (const auto& [name, records] : tables) {
        if (VantrelCsvReader::kindOf(CsvColumns(records.front())) != VantrelCsvReader::Kind::None)
            own.push_back({name, &records});
    }
    if (!own.empty()) {
        VantrelCsvReader::read(own, data);
    } else {
        const bool several = tables.size() > 1;
        std::vector<std::string> unknown;
        for (const auto& [name, records] : tables) {
            ImportData part;
            if (readFile(records, options, part))
                merge(data, std::move(part), several ? name : "");
            else
                unknown.push_back(name);
        }
        if (data.format != ImportFormat::Unknown) {
            for (const std::string& name : unknown)
                addNotice(data, name + " is not a file Vantrel recognises, so it is left out.");
        }
    }
    if (data.format == ImportFormat::Unknown)
        return data;
    for (const std::string& notice : source.notices())
        addNotice(data, notice);
    int otherCosts = 0;
    for (const ImportedVehicle& vehicle : data.vehicles)
        otherCosts += vehicle.otherCosts;
    if (otherCosts > 0)
        addNotice(data,
            std::to_string(otherCosts) + (otherCosts == 1 ? " other cost" : " other costs")
                + " (such as parking, insurance or tolls) will not be imported: Vantrel keeps services, "
                  "repairs and fill-ups.");
    return data;
}

std::string LogbookImport::formatName(ImportFormat format) {
    switch (format) {
    case ImportFormat::Vantrel:
        return "Vantrel";
    case ImportFormat::Fuelly:
        return "Fuelly";
    case ImportFormat::FuellyPhone:
        return "Fuelly (phone app)";
    case ImportFormat::Fuelio:
        return "Fuelio";
    case ImportFormat::Drivvo:
        return "Drivvo";
    case ImportFormat::LubeLogger:
        return "LubeLogger";
    case ImportFormat::Generic:
        return "CSV file";
    case ImportFormat::Unknown:
        break;
    }
    return "Unknown";
}
