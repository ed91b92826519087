#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/CsvReader.h"

// The columns of a CSV header, found by name whatever their position, letter case, spacing
// or unit in parentheses ("Odo (km)" answers to "odo").
class CsvColumns {
public:
    CsvColumns() = default;
    explicit CsvColumns(const CsvRecord& header);

    // The first column whose name, or name without its unit, is one of `names` (lower case).
    std::optional<size_t> find(std::initializer_list<std::string_view> names) const;
    // The first column whose name starts with `prefix`.
    std::optional<size_t> findStarting(std::string_view prefix) const;
    bool has(std::initializer_list<std::string_view> names) const { return find(names).has_value(); }

    // The normalised name of a column (see ImportValues::headerKey) and its unit, "" if none.
    const std::string& key(size_t column) const;
    std::string unit(size_t column) const;
    size_t size() const { return m_keys.size(); }
    const std::vector<std::string>& keys() const { return m_keys; }

    // The cell of `record` in the column, "" when the column is missing or the row short.
    static const std::string& cell(const CsvRecord& record, std::optional<size_t> column);

private:
    std::vector<std::string> m_keys;
};
