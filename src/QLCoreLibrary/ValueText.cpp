#include "QLCoreLibrary/ValueText.h"

#include <cmath>
#include <mutex>

#include "platform/base/NumberFormatter.h"

using platform::DateFormatter;
using platform::NumberFormatter;

namespace {
std::mutex g_separatorMutex;
std::optional<std::string> g_decimalSeparator;
} // namespace

float ParseFloat(const std::string& text) {
    NumberFormatter formatter(NumberFormatter::Style::None);
    return static_cast<float>(formatter.numberFromString(text).value_or(0));
}

float ParseFloat(const std::optional<std::string>& text) {
    return text ? ParseFloat(*text) : 0.0f;
}

std::string FormatFloat(double value, int digits) {
    NumberFormatter formatter(NumberFormatter::Style::Decimal);
    formatter.setMinimumFractionDigits(digits);
    formatter.setMaximumFractionDigits(digits);
    return formatter.stringFromNumber(value);
}

float ParseCurrency(const std::string& text) {
    std::string symbol = NumberFormatter(NumberFormatter::Style::Currency).currencySymbol();
    std::string stripped = text;
    if (!symbol.empty()) {
        for (auto at = stripped.find(symbol); at != std::string::npos; at = stripped.find(symbol, at))
            stripped.erase(at, symbol.size());
    }
    return ParseFloat(stripped);
}

std::string FormatCurrency(double value) {
    NumberFormatter formatter(NumberFormatter::Style::Currency);
    formatter.setMinimumFractionDigits(2);
    return formatter.stringFromNumber(value);
}

std::string GetDecimalSeparator() {
    std::lock_guard lock(g_separatorMutex);
    if (!g_decimalSeparator)
        g_decimalSeparator = NumberFormatter(NumberFormatter::Style::Decimal).decimalSeparator();
    return *g_decimalSeparator;
}

void ResetDecimalSeparatorCache() {
    std::lock_guard lock(g_separatorMutex);
    g_decimalSeparator.reset();
}

std::optional<double> ParseTypedNumber(const std::string& text) {
    return NumberFormatter(NumberFormatter::Style::None).numberFromString(text);
}

std::string FormatTypedNumber(double value, int digits) {
    if (value == 0 || !std::isfinite(value))
        return {};
    NumberFormatter formatter(NumberFormatter::Style::Decimal);
    formatter.setUsesGroupingSeparator(false);
    formatter.setMinimumFractionDigits(digits);
    formatter.setMaximumFractionDigits(digits);
    return formatter.stringFromNumber(value);
}

int CurrencyFractionDigits() {
    return NumberFormatter(NumberFormatter::Style::Currency).currencyFractionDigits();
}

std::optional<platform::Date> ParseDate(const std::string& text, DateStyle dateStyle) {
    DateFormatter formatter;
    formatter.setDateStyle(dateStyle);
    return formatter.dateFromString(text);
}

std::string FormatDateTime(platform::Date date, DateStyle dateStyle, DateStyle timeStyle) {
    DateFormatter formatter;
    formatter.setDateStyle(dateStyle);
    formatter.setTimeStyle(timeStyle);
    return formatter.stringFromDate(date);
}

std::string FormatDate(platform::Date date, DateStyle dateStyle) {
    return FormatDateTime(date, dateStyle, DateStyle::None);
}
