#include "transfer/CsvColumns.h"

#include "transfer/ImportValues.h"

CsvColumns::CsvColumns(const CsvRecord& header) {
    for (const std::string& name : header.fields)
        m_keys.push_back(ImportValues::headerKey(name));
}

std::optional<size_t> CsvColumns::find(std::initializer_list<std::string_view> names) const {
    for (std::string_view name : names) {
        for (size_t i = 0; i < m_keys.size(); ++i) {
            if (m_keys[i] == name || ImportValues::headerBase(m_keys[i]) == name)
                return i;
        }
    }
    return std::nullopt;
}

std::optional<size_t> CsvColumns::findStarting(std::string_view prefix) const {
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i].starts_with(prefix))
            return i;
    }
    return std::nullopt;
}

const std::string& CsvColumns::key(size_t column) const {
    static const std::string none;
    return column < m_keys.size() ? m_keys[column] : none;
}

std::string CsvColumns::unit(size_t column) const {
    return ImportValues::unitInHeader(key(column));
}

const std::string& CsvColumns::cell(const CsvRecord& record, std::optional<size_t> column) {
    static const std::string none;
    return column ? record.field(*column) : none;
}
