#include "platform/base/DateFormatter.h"

#include <memory>

#include <unicode/datefmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include "platform/base/Locale.h"
#include "platform/base/TimeZone.h"

namespace platform {

namespace {

icu::DateFormat::EStyle icuStyle(DateFormatter::Style style) {
    switch (style) {
    case DateFormatter::Style::None:
        return icu::DateFormat::kNone;
    case DateFormatter::Style::Short:
        return icu::DateFormat::kShort;
    case DateFormatter::Style::Medium:
        return icu::DateFormat::kMedium;
    case DateFormatter::Style::Long:
        return icu::DateFormat::kLong;
    case DateFormatter::Style::Full:
        return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}

} // namespace

DateFormatter::DateFormatter() = default;

static std::unique_ptr<icu::DateFormat> makeFormat(const std::string& pattern, DateFormatter::Style dateStyle,
    DateFormatter::Style timeStyle, const std::string& locale, const std::string& zone) {
    icu::Locale icuLocale((locale.empty() ? Locale::current() : locale).c_str());
    std::unique_ptr<icu::DateFormat> format;
    if (!pattern.empty()) {
        UErrorCode status = U_ZERO_ERROR;
        format = std::make_unique<icu::SimpleDateFormat>(
            icu::UnicodeString::fromUTF8(pattern), icuLocale, status);
        if (U_FAILURE(status))
            return nullptr;
    } else {
        if (dateStyle == DateFormatter::Style::None && timeStyle == DateFormatter::Style::None)
            return nullptr; // formats to the empty text, as on the phone
        format.reset(
            icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle), icuStyle(timeStyle), icuLocale));
        if (!format)
            return nullptr;
    }
    format->adoptTimeZone((zone.empty() ? TimeZone::createDefault() : TimeZone::create(zone)).release());
    return format;
}

std::string DateFormatter::stringFromDate(Date date) const {
    auto format = makeFormat(m_pattern, m_dateStyle, m_timeStyle, m_locale, m_timeZone);
    if (!format)
        return {};
    icu::UnicodeString out;
    format->format(date.icuMillis(), out);
    std::string text;
    out.toUTF8String(text);
    return text;
}

std::optional<Date> DateFormatter::dateFromString(const std::string& text) const {
    auto format = makeFormat(m_pattern, m_dateStyle, m_timeStyle, m_locale, m_timeZone);
    if (!format || text.empty())
        return std::nullopt;
    format->setLenient(false);
    icu::UnicodeString source = icu::UnicodeString::fromUTF8(text);
    icu::ParsePosition position(0);
    UDate parsed = format->parse(source, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != source.length())
        return std::nullopt;
    return Date::fromIcuMillis(parsed);
}

} // namespace platform
