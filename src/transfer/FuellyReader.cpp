#include "transfer/FuellyReader.h"

#include "transfer/ImportRows.h"
#include "transfer/ImportValues.h"

namespace {

constexpr const char* kCarName = "Fuelly car";

bool isFlagSet(const std::string& cell) {
    return ImportValues::yesNo(cell).value_or(false);
}

std::string labelled(const char* label, const std::string& value) {
    const std::string text = ImportValues::trim(value);
    return text.empty() ? "" : std::string(label) + ": " + text;
}

std::vector<std::string> cellsOf(const std::vector<CsvRecord>& records,
    std::initializer_list<std::optional<size_t>> columns, size_t from = 1) {
    std::vector<std::string> cells;
    for (size_t r = from; r < records.size(); ++r) {
        for (auto column : columns)
            cells.push_back(CsvColumns::cell(records[r], column));
    }
    return cells;
}

bool isPhoneRow(const CsvRecord& record) {
    const std::string& kind = record.field(0);
    return kind == "Gas" || kind == "Service";
}

} // namespace

bool FuellyReader::isWebFuelups(const CsvColumns& header) {
    return header.has({"fuelup_date"}) && header.has({"partial_fuelup"});
}

bool FuellyReader::isWebServices(const CsvColumns& header) {
    return header.has({"service_date"}) && header.has({"sub_service_types"});
}

bool FuellyReader::isPhoneExport(const std::vector<CsvRecord>& records) {
    size_t rows = 0;
    for (const CsvRecord& record : records)
        rows += isPhoneRow(record) && record.size() >= 10;
    return rows > 0 && rows + 1 >= records.size();
}

std::string FuellyReader::serviceTitle(const std::string& subServiceTypes) {
    std::string title;
    size_t start = 0;
    while (start <= subServiceTypes.size()) {
        size_t end = subServiceTypes.find(',', start);
        if (end == std::string::npos)
            end = subServiceTypes.size();
        std::string item = ImportValues::trim(std::string_view(subServiceTypes).substr(start, end - start));
        start = end + 1;
        if (item.empty())
            continue;
        // Fuelly's own kinds are snake_case identifiers; the person's own are kept as typed.
        if (item.find('_') != std::string::npos || item == ImportValues::lowerCase(item)) {
            bool wordStart = true;
            for (char& c : item) {
                if (c == '_')
                    c = ' ';
                else if (wordStart && c >= 'a' && c <= 'z')
                    c = char(c - 'a' + 'A');
                wordStart = c == ' ';
            }
        }
        if (!title.empty())
            title += ", ";
        title += item;
    }
    return title;
}

void FuellyReader::readWebFuelups(
    const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    const CsvColumns header(records.front());
    const auto car = header.find({"car_name"});
    const auto model = header.find({"model"});
    const auto odometer = header.find({"odometer"});
    const auto quantity = header.find({"gallons", "litres", "liters"});
    const auto price = header.find({"price"});
    const auto date = header.find({"fuelup_date"});
    const auto tags = header.find({"tags"});
    const auto notes = header.find({"notes"});
    const auto missed = header.find({"missed_fuelup"});
    const auto partial = header.find({"partial_fuelup"});
    const auto brand = header.find({"brand"});

    // The account's units name the distance and volume columns.
    if (header.has({"miles"}))
        data.distanceUnit = 1;
    else if (header.has({"km"}))
        data.distanceUnit = 0;
    if (quantity)
        data.fuelUnit = ImportValues::fuelUnitNamed(header.key(*quantity), data.gallonsUnclear);

    const ImportValues values
        = ImportValues::decide(cellsOf(records, {date}), cellsOf(records, {odometer, quantity, price}),
            options, {DateOrder::MonthFirst, DecimalMark::Point}, data);
    ImportRows rows(values, data);
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        ImportRows::FillupCells cells;
        cells.line = record.line;
        cells.date = CsvColumns::cell(record, date);
        cells.odometer = CsvColumns::cell(record, odometer);
        cells.quantity = CsvColumns::cell(record, quantity);
        cells.price = CsvColumns::cell(record, price);
        cells.type = isFlagSet(CsvColumns::cell(record, missed)) ? kFillupReset
            : isFlagSet(CsvColumns::cell(record, partial))       ? kFillupPartial
                                                                 : kFillupFull;
        cells.notes = ImportValues::joinLines(
            {CsvColumns::cell(record, notes), labelled("Station", CsvColumns::cell(record, brand)),
                labelled("Tags", CsvColumns::cell(record, tags))});
        auto fillup = rows.fillup(cells);
        if (!fillup)
            continue;
        const std::string name = ImportValues::trim(CsvColumns::cell(record, car));
        ImportedVehicle& vehicle
            = data.vehicleWithKey(name.empty() ? kCarName : name, name.empty() ? kCarName : name);
        if (vehicle.model.empty())
            vehicle.model = ImportValues::trim(CsvColumns::cell(record, model));
        vehicle.fillups.push_back(std::move(*fillup));
    }
}

void FuellyReader::readWebServices(
    const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    const CsvColumns header(records.front());
    const auto car = header.find({"car_name"});
    const auto model = header.find({"model"});
    const auto odometer = header.find({"odometer"});
    const auto price = header.find({"price"});
    const auto date = header.find({"service_date"});
    const auto tags = header.find({"tags"});
    const auto kind = header.find({"service_type"});
    const auto items = header.find({"sub_service_types"});
    const auto notes = header.find({"notes"});

    const ImportValues values = ImportValues::decide(cellsOf(records, {date}),
        cellsOf(records, {odometer, price}), options, {DateOrder::MonthFirst, DecimalMark::Point}, data);
    ImportRows rows(values, data);
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        const std::string name = ImportValues::trim(CsvColumns::cell(record, car));
        ImportedVehicle& vehicle
            = data.vehicleWithKey(name.empty() ? kCarName : name, name.empty() ? kCarName : name);
        if (vehicle.model.empty())
            vehicle.model = ImportValues::trim(CsvColumns::cell(record, model));
        // Expenses and purchases are no work on the car.
        const std::string type = ImportValues::lowerCase(ImportValues::trim(CsvColumns::cell(record, kind)));
        if (type == "expense" || type == "bought") {
            ++vehicle.otherCosts;
            continue;
        }
        std::string title = serviceTitle(CsvColumns::cell(record, items));
        if (title.empty())
            title = "Service";
        auto repair = rows.repair({record.line, title, CsvColumns::cell(record, date),
            CsvColumns::cell(record, odometer), CsvColumns::cell(record, price),
            ImportValues::joinLines(
                {CsvColumns::cell(record, notes), labelled("Tags", CsvColumns::cell(record, tags))})});
        if (repair && !repair->date) {
            rows.problem(record.line, "No date.");
            continue;
        }
        if (repair)
            vehicle.repairs.push_back(std::move(*repair));
    }
}

void FuellyReader::readPhoneExport(
    const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    // Positions as the phone app writes them; its header line is skipped.
    enum : size_t {
        kKind = 0,
        kDate = 2,
        kCar = 4,
        kOdometer = 5,
        kFillState = 6,
        kPrice = 7,
        kQuantity = 8,
        kTotal = 9,
        kBrand = 11,
        kLocation = 12,
        kTags = 13,
        kNotes = 16,
        kServiceName = 17
    };
    const size_t first = isPhoneRow(records.front()) ? 0 : 1;
    std::vector<std::string> dates, numbers;
    for (size_t r = first; r < records.size(); ++r) {
        dates.push_back(records[r].field(kDate));
        for (size_t column : {kOdometer, kPrice, kQuantity, kTotal})
            numbers.push_back(records[r].field(column));
    }
    const ImportValues values
        = ImportValues::decide(dates, numbers, options, {DateOrder::MonthFirst, DecimalMark::Point}, data);
    ImportRows rows(values, data);
    data.notices.push_back(
        "This layout of Fuelly's phone app is known only from other programs, and it names "
        "no units: check the units and the first rows below.");
    for (size_t r = first; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (!isPhoneRow(record)) {
            rows.problem(record.line, "The row is neither \"Gas\" nor \"Service\".");
            continue;
        }
        const std::string name = ImportValues::trim(record.field(kCar));
        ImportedVehicle& vehicle
            = data.vehicleWithKey(name.empty() ? kCarName : name, name.empty() ? kCarName : name);
        const std::string notes = ImportValues::joinLines({record.field(kNotes),
            labelled("Station", ImportValues::joinLines({record.field(kBrand), record.field(kLocation)})),
            labelled("Tags", record.field(kTags))});
        if (record.field(kKind) == "Service") {
            std::string title = ImportValues::trim(record.field(kServiceName));
            auto repair = rows.repair({record.line, title.empty() ? "Service" : title, record.field(kDate),
                record.field(kOdometer), record.field(kTotal), notes});
            if (repair)
                vehicle.repairs.push_back(std::move(*repair));
            continue;
        }
        ImportRows::FillupCells cells;
        cells.line = record.line;
        cells.date = record.field(kDate);
        cells.odometer = record.field(kOdometer);
        cells.quantity = record.field(kQuantity);
        cells.price = record.field(kPrice);
        cells.total = record.field(kTotal);
        cells.type = ImportValues::lowerCase(ImportValues::trim(record.field(kFillState))) == "full"
            ? kFillupFull
            : kFillupPartial;
        cells.notes = notes;
        if (auto fillup = rows.fillup(cells))
            vehicle.fillups.push_back(std::move(*fillup));
    }
}
