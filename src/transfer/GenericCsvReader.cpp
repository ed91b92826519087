#include "transfer/GenericCsvReader.h"

#include "transfer/ImportRows.h"
#include "transfer/ImportValues.h"

namespace {

struct Columns {
    std::optional<size_t> vehicle, date, odometer, quantity, price, total, full, partial, missed, type, notes,
        station;

    explicit Columns(const CsvColumns& header) {
        vehicle = header.find({"vehicle", "vehicle name", "car", "car name", "car_name", "vehicle_name"});
        date = header.find(
            {"date", "fuelup_date", "day", "datum", "fecha", "data", "fill date", "refuel date"});
        odometer = header.find({"odometer", "odo", "mileage", "odometer reading", "kilometerstand",
            "odómetro", "odometro", "km stand", "tachimetro"});
        quantity = header.find({"quantity", "volume", "litres", "liters", "gallons", "fuel", "qty",
            "fuelconsumed", "fuel quantity", "amount of fuel", "menge", "liter", "litros"});
        price = header.find({"price per unit", "unit price", "price per litre", "price per liter",
            "price per gallon", "price/l", "price / l", "price/gal", "price", "cost per unit", "volumeprice",
            "preis pro liter"});
        total = header.find({"total", "total cost", "totalcost", "total price", "cost", "amount", "sum",
            "betrag", "gesamt", "total amount"});
        full = header.find(
            {"full", "full tank", "filled up", "isfilltofull", "is full", "tank full", "full fill"});
        partial = header.find({"partial", "partial_fuelup", "partial tank", "partial_fill", "partial fill"});
        missed = header.find(
            {"missed", "missed_fuelup", "missedfuelup", "missed fill up", "missed_fill", "missed fill-up"});
        type = header.find({"type", "fill type", "fill-up type"});
        notes = header.find({"notes", "note", "comment", "comments", "remarks", "description"});
        station
            = header.find({"station", "gas station", "fuel station", "brand", "location", "filling station"});
    }
};

// The fill-up type a type column names; none for a word it does not know.
std::optional<int> typeNamed(const std::string& cell) {
    const std::string word = ImportValues::lowerCase(ImportValues::trim(cell));
    if (word.empty() || word == "full" || word == "f")
        return kFillupFull;
    if (word == "partial" || word == "p")
        return kFillupPartial;
    if (word == "reset" || word == "missed" || word == "r")
        return kFillupReset;
    return std::nullopt;
}

std::vector<std::string> column(
    const std::vector<CsvRecord>& records, std::initializer_list<std::optional<size_t>> columns) {
    std::vector<std::string> cells;
    for (size_t r = 1; r < records.size(); ++r) {
        for (auto index : columns)
            cells.push_back(CsvColumns::cell(records[r], index));
    }
    return cells;
}

} // namespace

bool GenericCsvReader::isFillupTable(const CsvColumns& header) {
    const Columns columns(header);
    return columns.date && columns.odometer && columns.quantity && (columns.price || columns.total);
}

void GenericCsvReader::read(
    const std::vector<CsvRecord>& records, const ImportOptions& options, ImportData& data) {
    const CsvColumns header(records.front());
    const Columns columns(header);

    data.distanceUnit = ImportValues::distanceUnitNamed(header.unit(*columns.odometer));
    const std::string& quantityKey = header.key(*columns.quantity);
    data.fuelUnit = ImportValues::fuelUnitNamed(header.unit(*columns.quantity), data.gallonsUnclear);
    if (!data.fuelUnit)
        data.fuelUnit
            = ImportValues::fuelUnitNamed(ImportValues::headerBase(quantityKey), data.gallonsUnclear);
    if (!data.fuelUnit && columns.price) {
        const std::string priceKey = header.key(*columns.price);
        const size_t per = priceKey.find_last_of("/ ");
        if (per != std::string::npos)
            data.fuelUnit = ImportValues::fuelUnitNamed(priceKey.substr(per + 1), data.gallonsUnclear);
    }

    const ImportValues values = ImportValues::decide(column(records, {columns.date}),
        column(records, {columns.odometer, columns.quantity, columns.price, columns.total}), options,
        {ImportValues::localeDateOrder(), ImportValues::localeDecimalMark()}, data);
    ImportRows rows(values, data);
    data.notices.push_back(
        "Vantrel recognised the columns of this file by their names: check the units and the "
        "first rows below.");
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        ImportRows::FillupCells cells;
        cells.line = record.line;
        cells.date = CsvColumns::cell(record, columns.date);
        cells.odometer = CsvColumns::cell(record, columns.odometer);
        cells.quantity = CsvColumns::cell(record, columns.quantity);
        cells.price = CsvColumns::cell(record, columns.price);
        cells.total = CsvColumns::cell(record, columns.total);
        if (columns.type) {
            auto type = typeNamed(CsvColumns::cell(record, columns.type));
            if (!type) {
                rows.problem(record.line,
                    "The fill-up type \"" + ImportValues::trim(CsvColumns::cell(record, columns.type))
                        + "\" is not Full, Partial or Reset.");
                continue;
            }
            cells.type = *type;
        } else {
            const auto yes = [&record](std::optional<size_t> index, bool empty) {
                const std::string& cell = CsvColumns::cell(record, index);
                return ImportValues::trim(cell).empty() ? std::optional<bool>(empty)
                                                        : ImportValues::yesNo(cell);
            };
            const auto full = yes(columns.full, true);
            const auto partial = yes(columns.partial, false);
            const auto missed = yes(columns.missed, false);
            if (!full || !partial || !missed) {
                rows.problem(
                    record.line, "A full, partial or missed value is neither a yes nor a no Vantrel knows.");
                continue;
            }
            cells.type = *missed ? kFillupReset : (!*full || *partial) ? kFillupPartial : kFillupFull;
        }
        const std::string station = ImportValues::trim(CsvColumns::cell(record, columns.station));
        cells.notes = ImportValues::joinLines(
            {CsvColumns::cell(record, columns.notes), station.empty() ? "" : "Station: " + station});
        auto fillup = rows.fillup(cells);
        if (!fillup)
            continue;
        std::string name = ImportValues::trim(CsvColumns::cell(record, columns.vehicle));
        if (name.empty())
            name = "Imported car";
        data.vehicleWithKey(name, name).fillups.push_back(std::move(*fillup));
    }
}
