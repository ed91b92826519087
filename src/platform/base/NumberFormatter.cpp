#include "platform/base/NumberFormatter.h"

#include <memory>
#include <string_view>

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/numfmt.h>
#include <unicode/unistr.h>

#include "platform/base/Locale.h"

namespace platform {

namespace {

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// Strips white space at both ends, the no-break spaces that locales put around currency
// symbols included (U+00A0, U+202F).
std::string trimmed(std::string text) {
    auto stripFront = [&](std::string_view blank) {
        if (text.compare(0, blank.size(), blank) == 0) {
            text.erase(0, blank.size());
            return true;
        }
        return false;
    };
    auto stripBack = [&](std::string_view blank) {
        if (text.size() >= blank.size()
            && text.compare(text.size() - blank.size(), blank.size(), blank) == 0) {
            text.erase(text.size() - blank.size());
            return true;
        }
        return false;
    };
    const std::string_view blanks[] = {" ", "\t", "\r", "\n", "\xC2\xA0", "\xE2\x80\xAF"};
    for (bool again = true; again;) {
        again = false;
        for (auto blank : blanks)
            again |= stripFront(blank) | stripBack(blank);
    }
    return text;
}

} // namespace

NumberFormatter::NumberFormatter(Style style, std::string locale)
    : m_style(style)
    , m_locale(locale.empty() ? Locale::current() : std::move(locale)) { }

static std::unique_ptr<icu::NumberFormat> makeFormat(NumberFormatter::Style style, const std::string& locale,
    std::optional<int> minFraction, std::optional<int> maxFraction, std::optional<bool> grouping) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale icuLocale(locale.c_str());
    std::unique_ptr<icu::NumberFormat> format;
    switch (style) {
    case NumberFormatter::Style::Currency:
        format.reset(icu::NumberFormat::createInstance(icuLocale, UNUM_CURRENCY, status));
        break;
    case NumberFormatter::Style::Decimal:
        format.reset(icu::NumberFormat::createInstance(icuLocale, UNUM_DECIMAL, status));
        break;
    case NumberFormatter::Style::None:
        // A plain number: the locale's digits and decimal separator, nothing else.
        format.reset(icu::NumberFormat::createInstance(icuLocale, UNUM_DECIMAL, status));
        if (format) {
            format->setGroupingUsed(false);
            format->setMaximumFractionDigits(0);
        }
        break;
    }
    if (U_FAILURE(status) || !format)
        return nullptr;
    if (grouping)
        format->setGroupingUsed(*grouping);
    if (minFraction)
        format->setMinimumFractionDigits(*minFraction);
    if (maxFraction)
        format->setMaximumFractionDigits(*maxFraction);
    if (minFraction && maxFraction && *maxFraction < *minFraction)
        format->setMaximumFractionDigits(*minFraction);
    return format;
}

std::string NumberFormatter::stringFromNumber(double value) const {
    auto format = makeFormat(m_style, m_locale, m_minFraction, m_maxFraction, m_grouping);
    if (!format)
        return {};
    icu::UnicodeString out;
    format->format(value, out);
    return utf8(out);
}

std::optional<double> NumberFormatter::numberFromString(const std::string& text) const {
    std::string input = trimmed(text);
    if (input.empty())
        return std::nullopt;
    auto format = makeFormat(m_style, m_locale, m_minFraction, m_maxFraction, m_grouping);
    if (!format)
        return std::nullopt;
    format->setLenient(false);
    if (m_style == Style::None)
        format->setParseIntegerOnly(false);
    icu::UnicodeString source = icu::UnicodeString::fromUTF8(input);
    icu::Formattable result;
    icu::ParsePosition position(0);
    format->parse(source, result, position);
    if (position.getIndex() != source.length() || position.getErrorIndex() >= 0)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    double value = result.getDouble(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return value;
}

static std::string symbol(const std::string& locale, icu::DecimalFormatSymbols::ENumberFormatSymbol which) {
    UErrorCode status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(icu::Locale(locale.c_str()), status);
    if (U_FAILURE(status))
        return {};
    return utf8(symbols.getSymbol(which));
}

std::string NumberFormatter::decimalSeparator() const {
    return symbol(m_locale,
        m_style == Style::Currency ? icu::DecimalFormatSymbols::kMonetarySeparatorSymbol
                                   : icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
}

std::string NumberFormatter::groupingSeparator() const {
    return symbol(m_locale, icu::DecimalFormatSymbols::kGroupingSeparatorSymbol);
}

int NumberFormatter::currencyFractionDigits() const {
    auto format = makeFormat(Style::Currency, m_locale, std::nullopt, std::nullopt, std::nullopt);
    return format ? format->getMaximumFractionDigits() : 2;
}

std::string NumberFormatter::currencySymbol() const {
    return symbol(m_locale, icu::DecimalFormatSymbols::kCurrencySymbol);
}

} // namespace platform
