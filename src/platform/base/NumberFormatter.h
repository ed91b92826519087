#pragma once

#include <optional>
#include <string>

namespace platform {

// Locale-aware number text on ICU. A formatter is cheap enough to make per call.
class NumberFormatter {
public:
    enum class Style { None, Decimal, Currency };

    explicit NumberFormatter(Style style = Style::None, std::string locale = {}); // {} = device locale

    void setMinimumFractionDigits(int digits) { m_minFraction = digits; }
    void setMaximumFractionDigits(int digits) { m_maxFraction = digits; }
    void setUsesGroupingSeparator(bool uses) { m_grouping = uses; }

    std::string stringFromNumber(double value) const;
    // The whole text must be a number of this style; otherwise none.
    std::optional<double> numberFromString(const std::string& text) const;

    std::string decimalSeparator() const;
    std::string groupingSeparator() const;
    std::string currencySymbol() const;
    // The fraction digits the locale's currency is written with (2 for dollars, 0 for yen).
    int currencyFractionDigits() const;
    const std::string& locale() const { return m_locale; }

private:
    Style m_style;
    std::string m_locale;
    std::optional<int> m_minFraction;
    std::optional<int> m_maxFraction;
    std::optional<bool> m_grouping;
};

} // namespace platform
