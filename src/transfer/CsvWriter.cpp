#include "transfer/CsvWriter.h"

#include <charconv>
#include <cmath>
#include <csv.h>

namespace {

bool needsQuotes(const std::string& field) {
    if (field.empty())
        return false;
    if (field.front() == ' ' || field.front() == '\t' || field.back() == ' ' || field.back() == '\t')
        return true;
    return field.find_first_of(",\"\r\n") != std::string::npos;
}

} // namespace

void CsvWriter::addRow(const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            m_text += ',';
        const std::string& field = fields[i];
        if (!needsQuotes(field)) {
            m_text += field;
            continue;
        }
        // Every quote doubled, plus the two around the field.
        std::string quoted(field.size() * 2 + 2, '\0');
        quoted.resize(csv_write(quoted.data(), quoted.size(), field.data(), field.size()));
        m_text += quoted;
    }
    m_text += "\r\n";
}

std::string CsvWriter::number(double value) {
    if (!std::isfinite(value))
        return "0";
    if (value == 0)
        return "0"; // never "-0"
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}
