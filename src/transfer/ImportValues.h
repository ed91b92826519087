#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/ImportData.h"

// Numbers, dates and words as other logbooks write them. An instance reads the cells of one
// file with the date order and decimal mark decided for that file (decide()), strictly: a
// cell that does not fit comes back as none, so that its row is reported instead of being
// stored with a wrong value.
class ImportValues {
public:
    ImportValues(DateOrder order, DecimalMark mark);

    // What a format assumes when its file leaves the order or the mark open.
    struct Defaults {
        DateOrder dateOrder {DateOrder::MonthFirst};
        DecimalMark decimalMark {DecimalMark::Point};
    };
    // Decides the date order and decimal mark of a file from its date and number cells (a day
    // above 12 settles the order, 35,47 or 1,204.00 settle the mark), the person's choices
    // overriding, and records the result in `data`.
    static ImportValues decide(const std::vector<std::string>& dateCells,
        const std::vector<std::string>& numberCells, const ImportOptions& options, Defaults defaults,
        ImportData& data);

    DateOrder dateOrder() const { return m_order; }
    DecimalMark decimalMark() const { return m_mark; }

    // A number with this file's decimal mark and, optionally, groups of three digits
    // ("1,204.5" or "1.204,5"; spaces and apostrophes group too). None for anything else.
    std::optional<double> number(std::string_view text) const;
    // A number that may carry a currency symbol or code ("$1,204.00", "1 204,00 €").
    std::optional<double> money(std::string_view text) const;
    // A calendar day: 2024-03-16, 16/03/2024, 3/16/24, 16.03.2024, a time after it ignored.
    std::optional<ImportDay> date(std::string_view text) const;

    // --- Text helpers

    static std::string trim(std::string_view text);
    // Lower case, in any script.
    static std::string lowerCase(std::string_view text);
    // A header name to compare: trimmed, lower case, inner runs of spaces made one.
    static std::string headerKey(std::string_view text);
    // The text in parentheses at the end of a header ("odo (km)" gives "km"), or "".
    static std::string unitInHeader(std::string_view headerKey);
    // The header without that unit ("odo (km)" gives "odo").
    static std::string headerBase(std::string_view headerKey);
    // Yes or no in the words logbooks use, in several languages (also 1/0, true/false).
    static std::optional<bool> yesNo(std::string_view text);
    // A distance unit's name or symbol ("km", "miles") as a code.
    static std::optional<int> distanceUnitNamed(std::string_view text);
    // A fuel unit's name or symbol as a code; plain "gallons" gives US gallons and sets
    // `gallonsUnclear`.
    static std::optional<int> fuelUnitNamed(std::string_view text, bool& gallonsUnclear);
    // The symbol or code around an amount ("$" of "$1,204.00"), or "".
    static std::string currencyIn(std::string_view text);
    // The non-empty texts, one per line.
    static std::string joinLines(const std::vector<std::string>& lines);

    // What the device's locale writes.
    static DateOrder localeDateOrder();
    static DecimalMark localeDecimalMark();

private:
    DateOrder m_order;
    DecimalMark m_mark;
};
