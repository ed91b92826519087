#include "transfer/LubeLoggerReader.h"

#include "transfer/ImportRows.h"
#include "transfer/ImportValues.h"

namespace {

constexpr const char* kCarName = "LubeLogger car";
constexpr const char* kNotice
    = "LubeLogger files name no units and write dates and numbers in the language of "
      "their server: check the units, the dates and the first rows below.";

// The person's own columns ("extrafield_Station"), kept in the notes.
std::vector<std::string> extraFields(const CsvRecord& header, const CsvRecord& record) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < header.size(); ++i) {
        const std::string name = ImportValues::trim(header.field(i));
        if (!ImportValues::lowerCase(name).starts_with("extrafield_"))
            continue;
        const std::string value = ImportValues::trim(record.field(i));
        if (!value.empty())
            lines.push_back(name.substr(11) + ": " + value);
    }
    return lines;
}

std::vector<std::string> column(const std::vector<CsvRecord>& records, std::optional<size_t> index) {
    std::vector<std::string> cells;
    for (size_t r = 1; r < records.size(); ++r)
        cells.push_back(CsvColumns::cell(records[r], index));
    return cells;
}

ImportValues::Defaults localeDefaults() {
    return {ImportValues::localeDateOrder(), ImportValues::localeDecimalMark()};
}

std::string notesOf(const CsvRecord& header, const CsvRecord& record, std::optional<size_t> notes,
    std::optional<size_t> tags) {
    std::vector<std::string> lines {CsvColumns::cell(record, notes)};
    const std::string tagged = ImportValues::trim(CsvColumns::cell(record, tags));
    if (!tagged.empty())
        lines.push_back("Tags: " + tagged);
    for (std::string& extra : extraFields(header, record))
        lines.push_back(std::move(extra));
    return ImportValues::joinLines(lines);
}

} // namespace

bool LubeLoggerReader::isFuel(const CsvColumns& header) {
    return header.has({"fuelconsumed"}) && header.has({"isfilltofull"});
}

bool LubeLoggerReader::isRecords(const CsvColumns& header) {
    const std::vector<std::string> expected {"date", "description", "cost", "notes", "odometer", "tags"};
    if (header.size() < expected.size())
        return false;
    for (size_t i = 0; i < header.size(); ++i) {
        if (i < expected.size() ? header.key(i) != expected[i] : !header.key(i).starts_with("extrafield_"))
            return false;
    }
    return true;
}

void LubeLoggerReader::readFuel(
    const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    const CsvColumns header(records.front());
    const auto date = header.find({"date"});
    const auto odometer = header.find({"odometer"});
    const auto quantity = header.find({"fuelconsumed"});
    const auto cost = header.find({"cost"});
    const auto full = header.find({"isfilltofull"});
    const auto missed = header.find({"missedfuelup"});
    const auto notes = header.find({"notes"});
    const auto tags = header.find({"tags"});
    std::vector<std::string> numbers = column(records, quantity);
    for (std::string& cell : column(records, cost))
        numbers.push_back(std::move(cell));
    const ImportValues values
        = ImportValues::decide(column(records, date), numbers, options, localeDefaults(), data);
    ImportRows rows(values, data);
    data.notices.push_back(kNotice);
    ImportedVehicle& vehicle = data.vehicleWithKey(kCarName, kCarName);
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        ImportRows::FillupCells cells;
        cells.line = record.line;
        cells.date = CsvColumns::cell(record, date);
        cells.odometer = CsvColumns::cell(record, odometer);
        cells.quantity = CsvColumns::cell(record, quantity);
        cells.total = CsvColumns::cell(record, cost);
        cells.type = ImportValues::yesNo(CsvColumns::cell(record, missed)).value_or(false) ? kFillupReset
            : ImportValues::yesNo(CsvColumns::cell(record, full)).value_or(true)           ? kFillupFull
                                                                                           : kFillupPartial;
        cells.notes = notesOf(records.front(), record, notes, tags);
        if (auto fillup = rows.fillup(cells))
            vehicle.fillups.push_back(std::move(*fillup));
    }
}

void LubeLoggerReader::readRecords(
    const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    const CsvColumns header(records.front());
    enum : size_t { kDate = 0, kDescription = 1, kCost = 2, kNotes = 3, kOdometer = 4, kTags = 5 };
    std::vector<std::string> amounts = column(records, kCost);
    for (const std::string& cell : amounts) {
        if (data.currency.empty())
            data.currency = ImportValues::currencyIn(cell);
    }
    const ImportValues values
        = ImportValues::decide(column(records, kDate), amounts, options, localeDefaults(), data);
    ImportRows rows(values, data);
    data.notices.push_back(kNotice);
    ImportedVehicle& vehicle = data.vehicleWithKey(kCarName, kCarName);
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        std::string name = ImportValues::trim(record.field(kDescription));
        auto repair = rows.repair({record.line, name.empty() ? "Repair" : name, record.field(kDate),
            record.field(kOdometer), record.field(kCost), notesOf(records.front(), record, kNotes, kTags)});
        if (repair)
            vehicle.repairs.push_back(std::move(*repair));
    }
}
