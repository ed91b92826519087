#include "transfer/DrivvoReader.h"

#include <map>

#include "transfer/CsvColumns.h"
#include "transfer/ImportRows.h"
#include "transfer/ImportValues.h"

namespace {

enum class Kind { None, Vehicle, Refuelling, Service, Expense, Other };

bool containsAny(const std::string& text, std::initializer_list<const char*> parts) {
    for (const char* part : parts) {
        if (text.find(part) != std::string::npos)
            return true;
    }
    return false;
}

std::optional<Kind> markerKind(const CsvRecord& record) {
    const std::string first = ImportValues::trim(record.field(0));
    if (!first.starts_with("#"))
        return std::nullopt;
    const std::string name = ImportValues::lowerCase(first.substr(first.find_first_not_of('#')));
    if (containsAny(name, {"refuel", "abastec", "tank", "заправ", "betank"}))
        return Kind::Refuelling;
    if (containsAny(name, {"servic", "serviç", "обслуж", "сервис", "wartung"}))
        return Kind::Service;
    if (containsAny(name, {"expense", "gasto", "despesa", "расход", "ausgabe"}))
        return Kind::Expense;
    if (containsAny(name, {"vehic", "veíc", "veic", "автомоб", "fahrzeug"}))
        return Kind::Vehicle;
    return Kind::Other;
}

struct Section {
    CsvRecord header;
    std::vector<const CsvRecord*> rows;
};

std::string labelled(const char* label, const std::string& value) {
    const std::string text = ImportValues::trim(value);
    return text.empty() ? "" : std::string(label) + ": " + text;
}

} // namespace

bool DrivvoReader::isDrivvo(const std::vector<CsvRecord>& records) {
    for (const CsvRecord& record : records) {
        auto kind = markerKind(record);
        if (kind && (*kind == Kind::Refuelling || *kind == Kind::Service || *kind == Kind::Expense))
            return true;
    }
    return false;
}

void DrivvoReader::read(
    const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    std::map<Kind, Section> sections;
    Section* current = nullptr;
    bool headerNext = false;
    for (const CsvRecord& record : records) {
        if (auto kind = markerKind(record)) {
            current = &sections[*kind];
            headerNext = true;
        } else if (current && headerNext) {
            current->header = record;
            headerNext = false;
        } else if (current) {
            current->rows.push_back(&record);
        }
    }
    const Section& fuel = sections[Kind::Refuelling];
    const Section& service = sections[Kind::Service];

    // The current layout: notes, station and the rest after the fuel blocks, the distance and
    // the charging columns; the older one ends sooner.
    const bool current29 = fuel.header.size() >= 29;
    enum : size_t {
        kOdometer = 0,
        kDate = 1,
        kPrice = 3,
        kTotal = 4,
        kVolume = 5,
        kFull = 6,
        kVolume2 = 10,
        kVolume3 = 15
    };
    if (!fuel.rows.empty() && !current29)
        data.notices.push_back("This Drivvo file has an older layout, whose station and notes columns other "
                               "programs read differently: both are kept in the notes.");

    const std::string odometerHeader
        = ImportValues::headerKey(fuel.header.field(kOdometer).empty() ? service.header.field(kOdometer)
                                                                       : fuel.header.field(kOdometer));
    data.distanceUnit = ImportValues::distanceUnitNamed(ImportValues::unitInHeader(odometerHeader));
    const std::string priceHeader = ImportValues::headerKey(fuel.header.field(kPrice));
    if (const size_t slash = priceHeader.rfind('/'); slash != std::string::npos)
        data.fuelUnit = ImportValues::fuelUnitNamed(priceHeader.substr(slash + 1), data.gallonsUnclear);

    std::vector<std::string> dates, numbers;
    for (const Section* section : {&fuel, &service}) {
        for (const CsvRecord* row : section->rows) {
            dates.push_back(row->field(kDate));
            numbers.push_back(row->field(kOdometer));
        }
    }
    for (const CsvRecord* row : fuel.rows) {
        for (size_t column : {kPrice, kTotal, kVolume})
            numbers.push_back(row->field(column));
    }
    const ImportValues values
        = ImportValues::decide(dates, numbers, options, {DateOrder::DayFirst, DecimalMark::Point}, data);
    ImportRows rows(values, data);

    std::string name = "Drivvo car";
    ImportedVehicle details;
    if (const Section& car = sections[Kind::Vehicle]; !car.rows.empty()) {
        const CsvRecord& row = *car.rows.front();
        if (!ImportValues::trim(row.field(0)).empty())
            name = ImportValues::trim(row.field(0));
        details.model = ImportValues::trim(row.field(1));
        details.licensePlate = ImportValues::trim(row.field(2));
        details.year = int(values.number(row.field(4)).value_or(0));
        details.notes = ImportValues::trim(row.field(5));
    }
    ImportedVehicle& vehicle = data.vehicleWithKey(name, name);
    vehicle.model = details.model;
    vehicle.licensePlate = details.licensePlate;
    vehicle.year = details.year;
    vehicle.notes = details.notes;

    int otherFuels = 0;
    for (const CsvRecord* row : fuel.rows) {
        const auto full = ImportValues::yesNo(row->field(kFull));
        if (!full) {
            rows.problem(row->line,
                "The full tank value \"" + ImportValues::trim(row->field(kFull))
                    + "\" is neither a yes nor a no Vantrel knows.");
            continue;
        }
        ImportRows::FillupCells cells;
        cells.line = row->line;
        cells.date = row->field(kDate);
        cells.odometer = row->field(kOdometer);
        cells.quantity = row->field(kVolume);
        cells.price = row->field(kPrice);
        cells.total = row->field(kTotal);
        cells.type = *full ? kFillupFull : kFillupPartial;
        if (current29) {
            const auto discount = values.number(row->field(28));
            cells.notes = ImportValues::joinLines({row->field(27), labelled("Station", row->field(23)),
                labelled("Driver", row->field(24)), labelled("Reason", row->field(25)),
                discount && *discount > 0 ? labelled("Discount", row->field(28)) : ""});
        } else {
            cells.notes = ImportValues::joinLines(
                {row->field(18), row->field(19), labelled("Station", row->field(17))});
        }
        for (size_t column : {kVolume2, kVolume3})
            otherFuels += values.number(row->field(column)).value_or(0) > 0;
        if (auto fillup = rows.fillup(cells))
            vehicle.fillups.push_back(std::move(*fillup));
    }
    if (otherFuels > 0)
        data.notices.push_back(std::to_string(otherFuels)
            + " second or third fuels bought in the same fill-up are left out: Vantrel keeps one fuel per "
              "car.");

    // One visit to the workshop is written as one row per item, with the same date and reading.
    const bool current10 = service.header.size() >= 10;
    std::map<std::pair<std::string, std::string>, size_t> visits;
    for (const CsvRecord* row : service.rows) {
        const std::string item = ImportValues::trim(row->field(3));
        const std::string title = current10 ? ImportValues::trim(row->field(8)) : "";
        const std::string notes = ImportValues::joinLines(
            {current10 ? row->field(7) : row->field(5), labelled("Workshop", row->field(4))});
        auto repair = rows.repair({row->line, title.empty() ? item : title, row->field(kDate),
            row->field(kOdometer), row->field(2), notes});
        if (!repair)
            continue;
        if (repair->name.empty())
            repair->name = "Service";
        const auto key = std::make_pair(
            ImportValues::trim(row->field(kDate)), ImportValues::trim(row->field(kOdometer)));
        auto visit = visits.find(key);
        if (visit == visits.end()) {
            visits[key] = vehicle.repairs.size();
            vehicle.repairs.push_back(std::move(*repair));
            continue;
        }
        ImportedRepair& joined = vehicle.repairs[visit->second];
        if (title.empty() && !item.empty() && joined.name.find(item) == std::string::npos)
            joined.name += ", " + item;
        joined.cost += repair->cost;
        if (!repair->notes.empty() && joined.notes.find(repair->notes) == std::string::npos)
            joined.notes = ImportValues::joinLines({joined.notes, repair->notes});
    }
    vehicle.otherCosts += int(sections[Kind::Expense].rows.size());
}
