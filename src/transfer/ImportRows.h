#pragma once

#include <optional>
#include <string>

#include "transfer/ImportData.h"
#include "transfer/ImportValues.h"

// Turns the cells of one row into a record of ImportData, or reports the row with its line
// and what is wrong with it. Shared by the readers of every format, so that a row is held
// to the same rules whichever logbook wrote it.
class ImportRows {
public:
    ImportRows(const ImportValues& values, ImportData& data)
        : m_values(values)
        , m_data(data) { }

    // The cells of a fill-up as the file has them; price (per unit) and total may each be
    // empty, and the one missing is derived from the other.
    struct FillupCells {
        int line {0};
        std::string date;
        std::string odometer;
        std::string quantity;
        std::string price;
        std::string total;
        int type {kFillupFull};
        std::string notes;
        std::optional<int> units;
    };
    // The fill-up, or none when a cell cannot be read (the problem is recorded).
    std::optional<ImportedFillup> fillup(const FillupCells& cells);

    struct CostCells {
        int line {0};
        std::string name;
        std::string date;
        std::string odometer;
        std::string cost;
        std::string notes;
    };
    // A repair (a service performance is built from it the same way); none as above. An
    // empty odometer or cost reads as 0, an empty date as none.
    std::optional<ImportedRepair> repair(const CostCells& cells);

    // Records a problem of the row on `line` (of `file` when set: a file inside an archive).
    void problem(int line, std::string message);
    void setFile(std::string file) { m_file = std::move(file); }

    // A reading: none (recorded) when it is no number or below 0; "" gives `empty`.
    std::optional<double> reading(
        int line, const std::string& cell, const char* what, std::optional<double> empty);
    // An amount of money, the same way.
    std::optional<double> amount(int line, const std::string& cell, const char* what);
    // A day: none (recorded) when it is not a date; "" gives none without a problem when
    // `required` is false.
    bool day(int line, const std::string& cell, bool required, std::optional<ImportDay>& day);

    const ImportValues& values() const { return m_values; }

private:
    const ImportValues& m_values;
    ImportData& m_data;
    std::string m_file;
};
