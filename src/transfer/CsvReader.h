#pragma once

#include <string>
#include <string_view>
#include <vector>

// One record of a CSV file: its fields, unquoted, and the line of the file it starts on
// (counted from 1), so that a problem can be shown where the person will find it.
struct CsvRecord {
    int line {0};
    std::vector<std::string> fields;

    // The field at `index`, or "" past the end (rows are often shorter than their header).
    const std::string& field(size_t index) const;
    size_t size() const { return fields.size(); }
    // Whether every field is empty.
    bool isBlank() const;
};

// Reads CSV text with libcsv, leniently: a quote inside an unquoted field is kept, spaces
// around unquoted fields are dropped, line breaks inside quotes stay in the field, and
// records whose fields are all empty are left out. Lines may end in LF, CRLF or CR.
class CsvReader {
public:
    // `text` is UTF-8; a leading byte-order mark is ignored.
    static std::vector<CsvRecord> parse(std::string_view text, char separator = ',');

    // The separator of the text's first line that has any, outside quotes: ',', ';' or a tab,
    // whichever it holds most (',' when none appears).
    static char detectSeparator(std::string_view text);

    // Some exports follow a quoted header name with a number outside the quotes
    // ("Full tank" 2), which no reader takes apart as meant; this turns such a line into
    // the quoted name with the number inside ("Full tank 2"). Other lines come back as they
    // were.
    static std::string repairQuotedSuffixes(std::string_view line);
};
