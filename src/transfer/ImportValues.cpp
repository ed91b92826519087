#include "transfer/ImportValues.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <set>

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include "platform/base/Locale.h"
#include "platform/base/NumberFormatter.h"
#include "transfer/ImportData.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Spaces of every kind and apostrophes group digits in some locales.
std::string withoutGroupingSpaces(std::string_view text) {
    std::string kept;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '\'')
            continue;
        if (text.substr(i).starts_with("\xC2\xA0")) { // no-break space
            ++i;
            continue;
        }
        if (text.substr(i).starts_with("\xE2\x80\xAF") || text.substr(i).starts_with("\xE2\x80\x89")
            || text.substr(i).starts_with("\xE2\x80\x99")) { // narrow and thin spaces, ’
            i += 2;
            continue;
        }
        kept += static_cast<char>(c);
    }
    return kept;
}

// Digits with an optional sign, grouping separator `group` in groups of three and one
// decimal mark `decimal`.
std::optional<double> strictNumber(std::string_view text, char decimal, char group) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const size_t mark = text.find(decimal);
    std::string_view whole = text.substr(0, mark);
    std::string_view fraction = mark == std::string_view::npos ? std::string_view() : text.substr(mark + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    std::string digits;
    if (whole.find(group) != std::string_view::npos) {
        size_t start = 0;
        bool first = true;
        while (true) {
            const size_t end = whole.find(group, start);
            const std::string_view part
                = whole.substr(start, end == std::string_view::npos ? end : end - start);
            if (part.empty() || part.size() > 3 || (!first && part.size() != 3))
                return std::nullopt;
            digits += part;
            first = false;
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
    } else {
        digits = whole;
    }
    if (!std::all_of(digits.begin(), digits.end(), isDigit)
        || !std::all_of(fraction.begin(), fraction.end(), isDigit))
        return std::nullopt;
    if (digits.empty())
        digits = "0";
    if (!fraction.empty())
        digits += "." + std::string(fraction);
    double value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size())
        return std::nullopt;
    return negative ? -value : value;
}

// Splits "16/03/2024 07:55" into its three numbers; false when it is not such a date.
bool dateParts(std::string_view text, std::string_view& a, std::string_view& b, std::string_view& c) {
    const size_t end = text.find_first_of(" T");
    // "2024-03-16T07:55" and "2024-03-16 07:55"; a T elsewhere is no date.
    const std::string_view day = end == std::string_view::npos ? text : text.substr(0, end);
    const size_t first = day.find_first_of("-/.");
    if (first == std::string_view::npos)
        return false;
    const char separator = day[first];
    const size_t second = day.find(separator, first + 1);
    if (second == std::string_view::npos || day.find(separator, second + 1) != std::string_view::npos)
        return false;
    a = day.substr(0, first);
    b = day.substr(first + 1, second - first - 1);
    c = day.substr(second + 1);
    for (std::string_view part : {a, b, c}) {
        if (part.empty() || part.size() > 4 || !std::all_of(part.begin(), part.end(), isDigit))
            return false;
    }
    return true;
}

int toInt(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

std::optional<ImportDay> validDay(int year, int month, int day) {
    if (year < 1900 || year > 2200 || month < 1 || month > 12 || day < 1
        || day > DBDateCodec::daysInMonth(year, month))
        return std::nullopt;
    return ImportDay {year, month, day};
}

// How a number cell speaks for a decimal mark: +1 point, -1 comma, 0 open.
int decimalEvidence(const std::string& cell) {
    std::string text;
    for (char c : withoutGroupingSpaces(cell)) {
        if (isDigit(c) || c == '.' || c == ',')
            text += c;
    }
    const size_t dots = size_t(std::count(text.begin(), text.end(), '.'));
    const size_t commas = size_t(std::count(text.begin(), text.end(), ','));
    if (dots && commas)
        return text.rfind('.') > text.rfind(',') ? 1 : -1;
    if (dots > 1)
        return -1;
    if (commas > 1)
        return 1;
    if (dots == 1)
        return text.size() - text.find('.') - 1 != 3 ? 1 : 0;
    if (commas == 1)
        return text.size() - text.find(',') - 1 != 3 ? -1 : 0;
    return 0;
}

bool hasSeparator(const std::string& cell) {
    return cell.find_first_of(".,") != std::string::npos;
}

} // namespace

ImportValues::ImportValues(DateOrder order, DecimalMark mark)
    : m_order(order == DateOrder::Automatic ? DateOrder::MonthFirst : order)
    , m_mark(mark == DecimalMark::Automatic ? DecimalMark::Point : mark) { }

ImportValues ImportValues::decide(const std::vector<std::string>& dateCells,
    const std::vector<std::string>& numberCells, const ImportOptions& options, Defaults defaults,
    ImportData& data) {
    // Dotted dates (16.03.2024) are day first wherever they are written; slashes and dashes
    // are written both ways.
    int dayFirst = 0, monthFirst = 0, open = 0, openDotted = 0;
    for (const std::string& cell : dateCells) {
        std::string_view a, b, c;
        const std::string text = trim(cell);
        if (!dateParts(text, a, b, c) || a.size() == 4)
            continue;
        const int first = toInt(a), second = toInt(b);
        if (first > 12 && second <= 12)
            ++dayFirst;
        else if (second > 12 && first <= 12)
            ++monthFirst;
        else if (first != second)
            ++(text[a.size()] == '.' ? openDotted : open);
    }
    DateOrder order = dayFirst > monthFirst ? DateOrder::DayFirst
        : monthFirst > dayFirst             ? DateOrder::MonthFirst
        : open == 0 && openDotted > 0       ? DateOrder::DayFirst
                                            : defaults.dateOrder;
    data.dateOrderUnclear = open > 0 && dayFirst == 0 && monthFirst == 0;
    if (options.dateOrder != DateOrder::Automatic)
        order = options.dateOrder;

    int point = 0, comma = 0;
    bool unsettled = false;
    for (const std::string& cell : numberCells) {
        const int evidence = decimalEvidence(cell);
        point += evidence > 0;
        comma += evidence < 0;
        unsettled = unsettled || (evidence == 0 && hasSeparator(cell));
    }
    DecimalMark mark = point > comma ? DecimalMark::Point
        : comma > point              ? DecimalMark::Comma
                                     : defaults.decimalMark;
    data.decimalMarkUnclear = unsettled && point == 0 && comma == 0;
    if (options.decimalMark != DecimalMark::Automatic)
        mark = options.decimalMark;

    data.dateOrder = order;
    data.decimalMark = mark;
    return ImportValues(order, mark);
}

std::optional<double> ImportValues::number(std::string_view text) const {
    const std::string compact = withoutGroupingSpaces(trim(text));
    return m_mark == DecimalMark::Comma ? strictNumber(compact, ',', '.') : strictNumber(compact, '.', ',');
}

std::optional<double> ImportValues::money(std::string_view text) const {
    std::string amount;
    for (char c : withoutGroupingSpaces(trim(text))) {
        if (isDigit(c) || c == '.' || c == ',' || c == '-' || c == '+')
            amount += c;
    }
    // A symbol that ends in a dot ("kr.", "Fr.") leaves it in front of the amount.
    while (!amount.empty() && (amount.front() == '.' || amount.front() == ','))
        amount.erase(amount.begin());
    if (amount.empty() || amount.find_first_of("0123456789") == std::string::npos)
        return std::nullopt;
    return number(amount);
}

std::optional<ImportDay> ImportValues::date(std::string_view text) const {
    std::string_view a, b, c;
    const std::string trimmed = trim(text);
    if (!dateParts(trimmed, a, b, c))
        return std::nullopt;
    if (a.size() == 4)
        return validDay(toInt(a), toInt(b), toInt(c));
    if (c.size() != 4 && c.size() != 2)
        return std::nullopt;
    int year = toInt(c);
    if (c.size() == 2)
        year += year < 70 ? 2000 : 1900;
    return m_order == DateOrder::DayFirst ? validDay(year, toInt(b), toInt(a))
                                          : validDay(year, toInt(a), toInt(b));
}

// --- Text helpers

std::string ImportValues::trim(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string ImportValues::lowerCase(std::string_view text) {
    std::string lower;
    icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size())))
        .toLower()
        .toUTF8String(lower);
    return lower;
}

std::string ImportValues::headerKey(std::string_view text) {
    std::string key;
    for (char c : lowerCase(trim(text))) {
        if (c == ' ' && !key.empty() && key.back() == ' ')
            continue;
        key += c;
    }
    return key;
}

std::string ImportValues::unitInHeader(std::string_view key) {
    if (key.empty() || key.back() != ')')
        return "";
    const size_t open = key.rfind('(');
    return open == std::string_view::npos ? "" : trim(key.substr(open + 1, key.size() - open - 2));
}

std::string ImportValues::headerBase(std::string_view key) {
    if (key.empty() || key.back() != ')')
        return std::string(key);
    const size_t open = key.rfind('(');
    return open == std::string_view::npos ? std::string(key) : trim(key.substr(0, open));
}

std::optional<bool> ImportValues::yesNo(std::string_view text) {
    static const std::set<std::string> yes {"yes", "y", "true", "1", "full", "x", "sim", "si", "sí", "sì",
        "ja", "j", "tak", "да", "oui", "evet", "igen", "ano", "áno", "kyllä", "ναι", "是", "はい", "예", "da",
        "jah", "taip", "jā", "ya"};
    static const std::set<std::string> no {"no", "n", "false", "0", "não", "nao", "nein", "nej", "nie", "нет",
        "non", "hayır", "nem", "ne", "ei", "όχι", "否", "いいえ", "아니요", "nu", "nē", "tidak"};
    const std::string key = lowerCase(trim(text));
    if (yes.count(key))
        return true;
    if (no.count(key))
        return false;
    return std::nullopt;
}

std::optional<int> ImportValues::distanceUnitNamed(std::string_view text) {
    static const std::set<std::string> kilometres {
        "km", "kms", "kilometer", "kilometers", "kilometre", "kilometres", "километры", "км"};
    static const std::set<std::string> miles {"mi", "mile", "miles"};
    const std::string key = headerKey(text);
    if (kilometres.count(key))
        return 0;
    if (miles.count(key))
        return 1;
    return std::nullopt;
}

std::optional<int> ImportValues::fuelUnitNamed(std::string_view text, bool& gallonsUnclear) {
    static const std::set<std::string> litres {"l", "lt", "ltr", "litre", "litres", "liter", "liters", "л"};
    static const std::set<std::string> usGallons {
        "us gal", "us gallon", "us gallons", "gal (us)", "gallon (us)", "gallons (us)", "usgal"};
    static const std::set<std::string> imperialGallons {"imp gal", "imperial gal", "imperial gallon",
        "imperial gallons", "uk gal", "uk gallon", "uk gallons", "gal (imperial)", "gallon (imperial)",
        "gallons (imperial)", "gal (uk)", "impgal"};
    static const std::set<std::string> gallons {"gal", "gallon", "gallons"};
    const std::string key = headerKey(text);
    if (litres.count(key))
        return 0;
    if (usGallons.count(key))
        return 1;
    if (imperialGallons.count(key))
        return 2;
    if (gallons.count(key)) {
        gallonsUnclear = true;
        return 1;
    }
    return std::nullopt;
}

std::string ImportValues::currencyIn(std::string_view text) {
    std::string symbol;
    for (char c : trim(text)) {
        if (!isDigit(c) && c != '.' && c != ',' && c != '-' && c != '+' && c != ' ')
            symbol += c;
    }
    // No-break spaces are grouping, not part of the symbol.
    for (const char* space : {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89"}) {
        for (size_t at; (at = symbol.find(space)) != std::string::npos;)
            symbol.erase(at, std::char_traits<char>::length(space));
    }
    return symbol;
}

std::string ImportValues::joinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        const std::string text = trim(line);
        if (text.empty())
            continue;
        if (!joined.empty())
            joined += '\n';
        joined += text;
    }
    return joined;
}

DateOrder ImportValues::localeDateOrder() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateInstance(
        icu::DateFormat::kShort, icu::Locale(platform::Locale::current().c_str())));
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format.get());
    if (!simple || U_FAILURE(status))
        return DateOrder::MonthFirst;
    icu::UnicodeString pattern;
    std::string text;
    simple->toPattern(pattern).toUTF8String(text);
    const size_t day = text.find('d'), month = text.find('M');
    return day != std::string::npos && month != std::string::npos && day < month ? DateOrder::DayFirst
                                                                                 : DateOrder::MonthFirst;
}

DecimalMark ImportValues::localeDecimalMark() {
    return platform::NumberFormatter(platform::NumberFormatter::Style::Decimal).decimalSeparator() == ","
        ? DecimalMark::Comma
        : DecimalMark::Point;
}
