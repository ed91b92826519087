#include "transfer/ImportRows.h"

namespace {

constexpr double kLargest = 99999999;

std::string quoted(const std::string& text) {
    return "\"" + ImportValues::trim(text) + "\"";
}

} // namespace

void ImportRows::problem(int line, std::string message) {
    m_data.problems.push_back({m_file, line, std::move(message)});
}

std::optional<double> ImportRows::reading(
    int line, const std::string& cell, const char* what, std::optional<double> empty) {
    if (ImportValues::trim(cell).empty()) {
        if (!empty)
            problem(line, std::string("No ") + what + ".");
        return empty;
    }
    auto value = m_values.number(cell);
    if (!value || *value < 0) {
        problem(line, std::string("The ") + what + " " + quoted(cell) + " is not a number Vantrel can read.");
        return std::nullopt;
    }
    // Readings are stored as whole numbers of 32 bits.
    if (*value > kLargest) {
        problem(line, std::string("The ") + what + " " + quoted(cell) + " is too large.");
        return std::nullopt;
    }
    return value;
}

std::optional<double> ImportRows::amount(int line, const std::string& cell, const char* what) {
    if (ImportValues::trim(cell).empty())
        return 0.0;
    auto value = m_values.money(cell);
    if (!value || *value < 0) {
        problem(
            line, std::string("The ") + what + " " + quoted(cell) + " is not an amount Vantrel can read.");
        return std::nullopt;
    }
    return value;
}

bool ImportRows::day(int line, const std::string& cell, bool required, std::optional<ImportDay>& day) {
    if (ImportValues::trim(cell).empty()) {
        day.reset();
        if (required)
            problem(line, "No date.");
        return !required;
    }
    day = m_values.date(cell);
    if (!day)
        problem(line, "The date " + quoted(cell) + " is not a date Vantrel can read.");
    return day.has_value();
}

std::optional<ImportedFillup> ImportRows::fillup(const FillupCells& cells) {
    ImportedFillup fillup;
    fillup.line = cells.line;
    const bool dated = day(cells.line, cells.date, true, fillup.date);
    const auto odometer = reading(cells.line, cells.odometer, "odometer reading", std::nullopt);
    const auto quantity = reading(cells.line, cells.quantity, "quantity of fuel", std::nullopt);
    const auto price = amount(cells.line, cells.price, "price per unit");
    const auto total = amount(cells.line, cells.total, "total cost");
    if (!dated || !odometer || !quantity || !price || !total)
        return std::nullopt;
    if (*quantity <= 0) {
        problem(cells.line, "The quantity of fuel is 0.");
        return std::nullopt;
    }
    fillup.odometer = *odometer;
    fillup.quantity = *quantity;
    fillup.costPerUnit = *price > 0 ? *price : *total / *quantity;
    fillup.type = cells.type;
    fillup.notes = cells.notes;
    fillup.units = cells.units;
    return fillup;
}

std::optional<ImportedRepair> ImportRows::repair(const CostCells& cells) {
    ImportedRepair repair;
    repair.line = cells.line;
    repair.name = ImportValues::trim(cells.name);
    const bool dated = day(cells.line, cells.date, false, repair.date);
    const auto odometer = reading(cells.line, cells.odometer, "odometer reading", 0.0);
    const auto cost = amount(cells.line, cells.cost, "cost");
    if (!dated || !odometer || !cost)
        return std::nullopt;
    repair.odometer = *odometer;
    repair.cost = *cost;
    repair.notes = cells.notes;
    return repair;
}
