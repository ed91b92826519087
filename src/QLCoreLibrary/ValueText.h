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
std::string FormatFloat(double value, int digits);
// Removes every currency symbol of the locale, then ParseFloat.
float ParseCurrency(const std::string& text);
// Currency style of the locale with at least two fraction digits.
std::string FormatCurrency(double value);
// The locale's decimal separator, computed on the first call and kept.
std::string GetDecimalSeparator();
void ResetDecimalSeparatorCache(); // tests only

// Numbers as typed into a form: the locale's digits and decimal separator, no grouping, no
// symbol, read in double precision. Answers none for any other text, "" included.
std::optional<double> ParseTypedNumber(const std::string& text);
// The text a form offers for editing a number: no grouping, exactly `digits` fraction
// digits with the locale's separator; "" for 0 and for values that are not finite.
std::string FormatTypedNumber(double value, int digits);
// The fraction digits of the locale's currency (2 for dollars, 0 for yen).
int CurrencyFractionDigits();

std::optional<platform::Date> ParseDate(const std::string& text, DateStyle dateStyle);
std::string FormatDateTime(platform::Date date, DateStyle dateStyle, DateStyle timeStyle);
std::string FormatDate(platform::Date date, DateStyle dateStyle);
