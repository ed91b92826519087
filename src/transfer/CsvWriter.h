#pragma once

#include <string>
#include <vector>

// Builds CSV text: comma-separated, CRLF line ends, a field quoted (by libcsv) only when it
// holds a comma, a quote, a line break or spaces at either end, so that every reader gets
// back exactly what was written.
class CsvWriter {
public:
    void addRow(const std::vector<std::string>& fields);
    const std::string& text() const { return m_text; }

    // The shortest text that reads back as exactly this number ("1.74", "48210").
    static std::string number(double value);

private:
    std::string m_text;
};
