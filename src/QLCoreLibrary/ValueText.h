#pragma once

#include <optional>
#include <string>

#include "platform/base/Date.h"
#include "platform/base/DateFormatter.h"

// Number, money and date text in the device locale. Every call builds its own formatter, so a
// locale change is seen at once, except by GetDecimalSeparator, which is computed once.

using DateStyle = platform::DateFormatter::Style;

// A plain number of the locale (its decimal separator, no grouping, no currency symbol).
// Text that is not such a number gives 0.
float ParseFloat(const std::string& text);
float ParseFloat(const std::optional<std::string>& text);
// Decimal style with grouping and exactly `digits` fraction digits.
std::string FormatFloat(float value, int digits);
// Removes every currency symbol of the locale, then ParseFloat.
float ParseCurrency(const std::string& text);
// Currency style of the locale with at least two fraction digits.
std::string FormatCurrency(float value);
// The locale's decimal separator, computed on the first call and kept.
std::string GetDecimalSeparator();
void ResetDecimalSeparatorCache(); // tests only

std::optional<platform::Date> ParseDate(const std::string& text, DateStyle dateStyle);
std::string FormatDateTime(platform::Date date, DateStyle dateStyle, DateStyle timeStyle);
std::string FormatDate(platform::Date date, DateStyle dateStyle);
