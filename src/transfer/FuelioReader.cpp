#include "transfer/FuelioReader.h"

#include <map>

#include "transfer/CsvColumns.h"
#include "transfer/ImportRows.h"
#include "transfer/ImportValues.h"

namespace {

// A section: its name (lower case, without the marks), its header and its rows.
struct Section {
    std::string name;
    CsvColumns header;
    std::vector<const CsvRecord*> rows;
};

std::optional<std::string> markerName(const CsvRecord& record) {
    const std::string first = ImportValues::trim(record.field(0));
    if (!first.starts_with("##"))
        return std::nullopt;
    return ImportValues::lowerCase(ImportValues::trim(std::string_view(first).substr(2)));
}

std::map<std::string, Section> sectionsOf(const std::vector<CsvRecord>& records) {
    std::map<std::string, Section> sections;
    Section* current = nullptr;
    bool headerNext = false;
    for (const CsvRecord& record : records) {
        if (auto name = markerName(record)) {
            current = &sections[*name];
            current->name = *name;
            headerNext = true;
        } else if (current && headerNext) {
            current->header = CsvColumns(record);
            headerNext = false;
        } else if (current) {
            current->rows.push_back(&record);
        }
    }
    return sections;
}

int code(const std::string& cell) {
    try {
        return std::stoi(ImportValues::trim(cell));
    } catch (...) {
        return -1;
    }
}

// Service, maintenance and tuning: work on the car.
bool isWorkOnTheCar(int category) {
    return category == 1 || category == 2 || category == 9;
}

} // namespace

bool FuelioReader::isFuelio(const std::vector<CsvRecord>& records) {
    bool vehicle = false, log = false;
    for (const CsvRecord& record : records) {
        if (auto name = markerName(record)) {
            vehicle = vehicle || *name == "vehicle";
            log = log || *name == "log";
        }
    }
    return vehicle && log;
}

void FuelioReader::read(
    const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    auto sections = sectionsOf(records);
    const Section& car = sections["vehicle"];
    const Section& log = sections["log"];
    const Section& costs = sections["costs"];

    const CsvRecord* carRow = car.rows.empty() ? nullptr : car.rows.front();
    const auto cell
        = [](const Section& section, const CsvRecord* row, std::initializer_list<std::string_view> names) {
              return row ? CsvColumns::cell(*row, section.header.find(names)) : std::string();
          };
    std::string name = ImportValues::trim(cell(car, carRow, {"name"}));
    if (name.empty())
        name = "Fuelio car";
    ImportedVehicle& vehicle = data.vehicleWithKey(name, name);
    vehicle.make = ImportValues::trim(cell(car, carRow, {"make"}));
    vehicle.model = ImportValues::trim(cell(car, carRow, {"model"}));
    vehicle.licensePlate = ImportValues::trim(cell(car, carRow, {"plate"}));
    vehicle.year = std::max(0, code(cell(car, carRow, {"year"})));
    const std::string vin = ImportValues::trim(cell(car, carRow, {"vin"}));
    vehicle.notes
        = ImportValues::joinLines({cell(car, carRow, {"description"}), vin.empty() ? "" : "VIN: " + vin});

    const auto date = log.header.find({"data", "date"});
    const auto odometer = log.header.findStarting("odo");
    auto quantity = log.header.findStarting("fuel (");
    const bool kilograms = !quantity && log.header.has({"kg"});
    if (!quantity)
        quantity = log.header.find({"kg", "fuel"});
    const auto full = log.header.find({"full"});
    const auto total = log.header.find({"price"});
    const auto station = log.header.find({"city"});
    const auto notes = log.header.find({"notes"});
    const auto missed = log.header.find({"missed"});
    const auto tank = log.header.find({"tanknumber"});
    const auto price = log.header.find({"volumeprice"});
    const auto excluded = log.header.find({"excludedistance"});

    // The header names the units in use; the vehicle's codes say it too.
    data.distanceUnit = odometer ? ImportValues::distanceUnitNamed(log.header.unit(*odometer)) : std::nullopt;
    const int distanceCode = code(cell(car, carRow, {"distunit"}));
    if (!data.distanceUnit && (distanceCode == 0 || distanceCode == 1))
        data.distanceUnit = distanceCode;
    if (quantity)
        data.fuelUnit = ImportValues::fuelUnitNamed(log.header.unit(*quantity), data.gallonsUnclear);
    const int fuelCode = code(cell(car, carRow, {"fuelunit"}));
    if (!data.fuelUnit && fuelCode >= 0 && fuelCode <= 2)
        data.fuelUnit = fuelCode;

    std::vector<std::string> dates, numbers;
    for (const CsvRecord* row : log.rows) {
        dates.push_back(CsvColumns::cell(*row, date));
        for (auto column : {odometer, quantity, total, price})
            numbers.push_back(CsvColumns::cell(*row, column));
    }
    const auto costDate = costs.header.find({"date"});
    for (const CsvRecord* row : costs.rows)
        dates.push_back(CsvColumns::cell(*row, costDate));
    const ImportValues values
        = ImportValues::decide(dates, numbers, options, {DateOrder::DayFirst, DecimalMark::Point}, data);
    ImportRows rows(values, data);

    for (const CsvRecord* row : log.rows) {
        if (kilograms || fuelCode == 4) {
            rows.problem(
                row->line, "Fuel measured in kilograms cannot be kept: Vantrel keeps liters and gallons.");
            continue;
        }
        if (code(CsvColumns::cell(*row, tank)) == 2) {
            rows.problem(
                row->line, "A fill-up of the second tank is left out: Vantrel keeps one tank per car.");
            continue;
        }
        ImportRows::FillupCells cells;
        cells.line = row->line;
        cells.date = CsvColumns::cell(*row, date);
        cells.odometer = CsvColumns::cell(*row, odometer);
        cells.quantity = CsvColumns::cell(*row, quantity);
        cells.price = CsvColumns::cell(*row, price);
        cells.total = CsvColumns::cell(*row, total);
        cells.type = ImportValues::yesNo(CsvColumns::cell(*row, missed)).value_or(false) ? kFillupReset
            : ImportValues::yesNo(CsvColumns::cell(*row, full)).value_or(true)           ? kFillupFull
                                                                                         : kFillupPartial;
        const auto exclude = values.number(CsvColumns::cell(*row, excluded));
        cells.notes = ImportValues::joinLines({CsvColumns::cell(*row, notes),
            ImportValues::trim(CsvColumns::cell(*row, station)).empty()
                ? ""
                : "Station: " + ImportValues::trim(CsvColumns::cell(*row, station)),
            exclude && *exclude > 0
                ? "Distance excluded from the economy: " + CsvColumns::cell(*row, excluded)
                : ""});
        if (auto fillup = rows.fillup(cells))
            vehicle.fillups.push_back(std::move(*fillup));
    }

    std::map<int, std::string> categories;
    const Section& named = sections["costcategories"];
    for (const CsvRecord* row : named.rows)
        categories[code(CsvColumns::cell(*row, named.header.find({"costtypeid"})))]
            = ImportValues::trim(CsvColumns::cell(*row, named.header.find({"name"})));
    const auto title = costs.header.find({"costtitle"});
    const auto costOdometer = costs.header.find({"odo"});
    const auto category = costs.header.find({"costtypeid"});
    const auto costNotes = costs.header.find({"notes"});
    const auto amount = costs.header.find({"cost"});
    const auto template_ = costs.header.find({"istemplate"});
    const auto income = costs.header.find({"isincome"});
    const auto repeatDistance = costs.header.find({"repeatodo"});
    const auto repeatMonths = costs.header.find({"repeatmonths"});
    for (const CsvRecord* row : costs.rows) {
        const int kind = code(CsvColumns::cell(*row, category));
        if (ImportValues::yesNo(CsvColumns::cell(*row, income)).value_or(false) || !isWorkOnTheCar(kind)) {
            ++vehicle.otherCosts;
            continue;
        }
        if (ImportValues::yesNo(CsvColumns::cell(*row, template_)).value_or(false)) {
            rows.problem(
                row->line, "The cost is marked as a template, not as work that was done, so it is left out.");
            continue;
        }
        std::string name = ImportValues::trim(CsvColumns::cell(*row, title));
        if (name.empty())
            name = categories.count(kind) ? categories[kind] : "Service";
        auto repair = rows.repair(
            {row->line, name, CsvColumns::cell(*row, costDate), CsvColumns::cell(*row, costOdometer),
                CsvColumns::cell(*row, amount), CsvColumns::cell(*row, costNotes)});
        if (!repair)
            continue;
        const auto distance = values.number(CsvColumns::cell(*row, repeatDistance)).value_or(0);
        const auto months = code(CsvColumns::cell(*row, repeatMonths));
        if (distance <= 0 && months <= 0) {
            vehicle.repairs.push_back(std::move(*repair));
            continue;
        }
        // A cost that repeats has an interval: a service of the car.
        ImportedService service;
        service.line = repair->line;
        service.name = repair->name;
        service.typeKey = ImportValues::lowerCase(repair->name);
        service.intervalDistance = std::max(0.0, distance);
        service.intervalMonths = std::max(0, months);
        service.date = repair->date;
        service.odometer = repair->odometer;
        service.cost = repair->cost;
        service.notes = repair->notes;
        vehicle.services.push_back(std::move(service));
    }
}
