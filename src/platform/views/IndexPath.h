#pragma once

#include <compare>
#include <string>

namespace platform::views {

// A row of a table: section and row, both from 0.
struct IndexPath {
    int section {0};
    int row {0};

    static IndexPath forRow(int row, int section) { return {section, row}; }
    auto operator<=>(const IndexPath&) const = default;
    std::string description() const {
        return "[" + std::to_string(section) + ", " + std::to_string(row) + "]";
    }
};

} // namespace platform::views
