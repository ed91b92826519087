#include "transfer/CsvReader.h"

#include <algorithm>
#include <array>
#include <csv.h>

namespace {

struct ParseState {
    std::vector<CsvRecord> records;
    CsvRecord current;
    int line {0};
    bool betweenRecords {true};
};

void fieldEnded(void* bytes, size_t length, void* data) {
    auto* state = static_cast<ParseState*>(data);
    state->current.fields.emplace_back(bytes ? static_cast<const char*>(bytes) : "", bytes ? length : 0);
}

void recordEnded(int, void* data) {
    auto* state = static_cast<ParseState*>(data);
    if (!state->current.isBlank())
        state->records.push_back(std::move(state->current));
    state->current = CsvRecord {};
    state->betweenRecords = true;
}

bool isBlankLine(std::string_view line) {
    return std::all_of(
        line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

// The next line of `text` from `start`, its end of line included.
std::string_view nextLine(std::string_view text, size_t start) {
    size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r')
        ++end;
    if (end < text.size()) {
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        ++end;
    }
    return text.substr(start, end - start);
}

} // namespace

const std::string& CsvRecord::field(size_t index) const {
    static const std::string none;
    return index < fields.size() ? fields[index] : none;
}

bool CsvRecord::isBlank() const {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); });
}

std::vector<CsvRecord> CsvReader::parse(std::string_view text, char separator) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    csv_parser parser;
    csv_init(&parser, 0);
    csv_set_delim(&parser, static_cast<unsigned char>(separator));
    ParseState state;
    // Fed a line at a time, so that each record knows the line it starts on.
    for (size_t start = 0; start < text.size();) {
        const std::string_view line = nextLine(text, start);
        start += line.size();
        ++state.line;
        if (state.betweenRecords && !isBlankLine(line)) {
            state.current.line = state.line;
            state.betweenRecords = false;
        }
        csv_parse(&parser, line.data(), line.size(), fieldEnded, recordEnded, &state);
    }
    csv_fini(&parser, fieldEnded, recordEnded, &state);
    csv_free(&parser);
    return std::move(state.records);
}

char CsvReader::detectSeparator(std::string_view text) {
    // The header says it best: the first line with any separator outside quotes (section
    // marks have none); data lines may hold decimal commas in a semicolon file.
    constexpr std::array<char, 3> candidates {',', ';', '\t'};
    std::array<int, 3> counts {};
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            if (*std::max_element(counts.begin(), counts.end()) > 0)
                break;
        }
        for (size_t i = 0; i < candidates.size(); ++i)
            counts[i] += !quoted && c == candidates[i];
    }
    const auto best = std::max_element(counts.begin(), counts.end());
    return *best == 0 ? ',' : candidates[size_t(best - counts.begin())];
}

std::string CsvReader::repairQuotedSuffixes(std::string_view line) {
    std::string repaired;
    size_t i = 0;
    while (i < line.size()) {
        // A field that starts with a quote: find its closing quote ("" is a quote inside).
        const bool fieldStart = i == 0 || line[i - 1] == ',' || line[i - 1] == ';';
        if (!fieldStart || line[i] != '"') {
            repaired += line[i++];
            continue;
        }
        size_t close = i + 1;
        while (close < line.size()) {
            if (line[close] == '"' && close + 1 < line.size() && line[close + 1] == '"')
                close += 2;
            else if (line[close] == '"')
                break;
            else
                ++close;
        }
        size_t after = close + 1;
        size_t digits = after;
        while (digits < line.size() && line[digits] == ' ')
            ++digits;
        size_t end = digits;
        while (end < line.size() && line[end] >= '0' && line[end] <= '9')
            ++end;
        const bool suffix = close < line.size() && digits > after && end > digits
            && (end == line.size() || line[end] == ',' || line[end] == ';' || line[end] == '\r'
                || line[end] == '\n');
        if (suffix) {
            repaired.append(line.substr(i, close - i));
            repaired += ' ';
            repaired.append(line.substr(digits, end - digits));
            repaired += '"';
            i = end;
        } else {
            const size_t stop = std::min(line.size(), close + 1);
            repaired.append(line.substr(i, stop - i));
            i = stop;
        }
    }
    return repaired;
}
