#include "transfer/VantrelCsvReader.h"

#include <algorithm>

#include "transfer/ImportRows.h"
#include "transfer/ImportValues.h"
#include "transfer/VantrelCsvLayout.h"

namespace {

using Kind = VantrelCsvReader::Kind;

struct Reader {
    ImportData& data;
    ImportValues values {DateOrder::MonthFirst, DecimalMark::Point};
    ImportRows rows {values, data};

    // The car a row belongs to (its id), made from the row when the cars' file does not list it.
    ImportedVehicle& vehicle(const CsvColumns& header, const CsvRecord& record) {
        const std::string id = ImportValues::trim(CsvColumns::cell(record, header.find({"vehicle id"})));
        const std::string name = ImportValues::trim(CsvColumns::cell(record, header.find({"vehicle"})));
        return data.vehicleWithKey(id.empty() ? name : id, name.empty() ? "Vehicle " + id : name);
    }

    void distanceUnitOf(const CsvColumns& header) {
        if (auto column = header.find({"odometer"})) {
            if (auto unit = ImportValues::distanceUnitNamed(header.unit(*column)))
                data.distanceUnit = unit;
        }
    }

    void readVehicles(const CsvColumns& header, const std::vector<CsvRecord>& records) {
        for (size_t r = 1; r < records.size(); ++r) {
            const CsvRecord& record = records[r];
            const auto cell
                = [&](std::string_view name) { return CsvColumns::cell(record, header.find({name})); };
            const std::string id = ImportValues::trim(cell("vehicle id"));
            const auto year = rows.reading(record.line, cell("year"), "year", 0.0);
            const auto odometer = rows.reading(record.line, cell("odometer"), "odometer reading", 0.0);
            if (id.empty() || !year || !odometer) {
                if (id.empty())
                    rows.problem(record.line, "No vehicle ID.");
                continue;
            }
            ImportedVehicle& vehicle = data.vehicleWithKey(id, cell("name"));
            vehicle.name = cell("name");
            vehicle.licensePlate = cell("license plate");
            vehicle.make = cell("make");
            vehicle.model = cell("model");
            vehicle.year = int(*year);
            vehicle.odometer = *odometer;
            vehicle.notes = cell("notes");
        }
    }

    void readFillups(const CsvColumns& header, const std::vector<CsvRecord>& records) {
        // One quantity and price column per fuel unit the logbook uses.
        struct Pair {
            size_t quantity;
            std::optional<size_t> price;
            int unit;
        };
        std::vector<Pair> pairs;
        for (size_t i = 0; i < header.size(); ++i) {
            if (ImportValues::headerBase(header.key(i)) != "quantity")
                continue;
            if (auto unit = VantrelCsvLayout::fuelUnitOfSymbol(header.unit(i))) {
                const std::string price
                    = "price (per " + ImportValues::lowerCase(VantrelCsvLayout::fuelSymbol(*unit)) + ")";
                pairs.push_back({i, header.find({price}), *unit});
            }
        }
        const auto date = header.find({"date"});
        const auto odometer = header.find({"odometer"});
        const auto total = header.findStarting("total cost");
        const auto type = header.find({"type"});
        const auto notes = header.find({"notes"});
        for (size_t r = 1; r < records.size(); ++r) {
            const CsvRecord& record = records[r];
            const auto filled = std::find_if(pairs.begin(), pairs.end(),
                [&](const Pair& pair) { return !ImportValues::trim(record.field(pair.quantity)).empty(); });
            const auto kind = VantrelCsvLayout::typeNamed(CsvColumns::cell(record, type));
            if (!kind) {
                rows.problem(record.line,
                    "The fill-up type \"" + CsvColumns::cell(record, type)
                        + "\" is not Full, Partial or Reset.");
                continue;
            }
            ImportRows::FillupCells cells;
            cells.line = record.line;
            cells.date = CsvColumns::cell(record, date);
            cells.odometer = CsvColumns::cell(record, odometer);
            if (filled != pairs.end()) {
                cells.quantity = record.field(filled->quantity);
                cells.price = CsvColumns::cell(record, filled->price);
                cells.units = filled->unit;
            }
            cells.total = CsvColumns::cell(record, total);
            cells.type = *kind;
            cells.notes = CsvColumns::cell(record, notes);
            if (auto fillup = rows.fillup(cells))
                vehicle(header, record).fillups.push_back(std::move(*fillup));
        }
    }

    void readServices(const CsvColumns& header, const std::vector<CsvRecord>& records) {
        const auto typeID = header.find({"service id"});
        const auto name = header.find({"service"});
        const auto months = header.find({"interval (months)"});
        std::optional<size_t> interval;
        for (size_t i = 0; i < header.size() && !interval; ++i) {
            if (ImportValues::headerBase(header.key(i)) == "interval" && i != months)
                interval = i;
        }
        for (size_t r = 1; r < records.size(); ++r) {
            const CsvRecord& record = records[r];
            auto performed = rows.repair({record.line, CsvColumns::cell(record, name),
                CsvColumns::cell(record, header.find({"date performed"})),
                CsvColumns::cell(record, header.find({"odometer"})),
                CsvColumns::cell(record, header.findStarting("cost")),
                CsvColumns::cell(record, header.find({"notes"}))});
            const auto distance
                = rows.reading(record.line, CsvColumns::cell(record, interval), "interval", 0.0);
            const auto monthCount
                = rows.reading(record.line, CsvColumns::cell(record, months), "interval", 0.0);
            if (!performed || !distance || !monthCount)
                continue;
            ImportedService service;
            service.line = record.line;
            const std::string id = ImportValues::trim(CsvColumns::cell(record, typeID));
            service.typeKey = id.empty() ? ImportValues::lowerCase(performed->name) : "#" + id;
            service.name = CsvColumns::cell(record, name);
            service.intervalDistance = *distance;
            service.intervalMonths = int(*monthCount);
            service.date = performed->date;
            service.odometer = performed->odometer;
            service.cost = performed->cost;
            service.notes = performed->notes;
            vehicle(header, record).services.push_back(std::move(service));
        }
    }

    void readRepairs(const CsvColumns& header, const std::vector<CsvRecord>& records) {
        for (size_t r = 1; r < records.size(); ++r) {
            const CsvRecord& record = records[r];
            auto repair = rows.repair({record.line, CsvColumns::cell(record, header.find({"repair"})),
                CsvColumns::cell(record, header.find({"date"})),
                CsvColumns::cell(record, header.find({"odometer"})),
                CsvColumns::cell(record, header.findStarting("cost")),
                CsvColumns::cell(record, header.find({"notes"}))});
            if (!repair)
                continue;
            repair->name = CsvColumns::cell(record, header.find({"repair"})); // as written, spaces and all
            vehicle(header, record).repairs.push_back(std::move(*repair));
        }
    }
};

} // namespace

VantrelCsvReader::Kind VantrelCsvReader::kindOf(const CsvColumns& header) {
    if (header.key(0) != "vehicle id")
        return Kind::None;
    if (header.has({"license plate"}))
        return Kind::Vehicles;
    if (header.has({"quantity"}))
        return Kind::Fillups;
    if (header.has({"service"}))
        return Kind::Services;
    if (header.has({"repair"}))
        return Kind::Repairs;
    return Kind::None;
}

void VantrelCsvReader::read(std::vector<File> files, ImportData& data) {
    data.format = ImportFormat::Vantrel;
    data.decimalMark = DecimalMark::Point;
    Reader reader {data};
    // The cars first, so that they keep the order of the logbook.
    std::stable_sort(files.begin(), files.end(), [](const File& a, const File& b) {
        return (kindOf(CsvColumns(a.records->front())) == Kind::Vehicles)
            > (kindOf(CsvColumns(b.records->front())) == Kind::Vehicles);
    });
    for (const File& file : files) {
        const CsvColumns header(file.records->front());
        reader.rows.setFile(files.size() > 1 ? file.name : "");
        reader.distanceUnitOf(header);
        switch (kindOf(header)) {
        case Kind::Vehicles:
            data.exactLogbook = true;
            reader.readVehicles(header, *file.records);
            break;
        case Kind::Fillups:
            reader.readFillups(header, *file.records);
            break;
        case Kind::Services:
            reader.readServices(header, *file.records);
            break;
        case Kind::Repairs:
            reader.readRepairs(header, *file.records);
            break;
        case Kind::None:
            break;
        }
    }
}
